#pragma once
/// @file
/// Messages of the Intel HEX reader and writer. The window's other layers refer to the same
/// texts, so they live here, at the bottom of the layers that show them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace pw::texts {

inline constexpr const char* kFileNotFound = "Ошибка! Файл не найден!";
/// A text given as a hex number holds a character that is no hex digit.
inline constexpr const char* kBadHexNumber = "Ошибка! Неверное шестнадцатеричное число!";
/// A HEX writer was asked to take more than its source holds.
inline constexpr const char* kHexSourceTooShort = "Ошибка! Данных для HEX-файла меньше, чем запрошено!";

/// A numeric field of line `line` has a character at `position` (counted from 1) that is no hex digit.
std::string HexBadDigit(long line, std::size_t position);
/// The data record of line `line`, at byte address `address`, does not fit in its memory image.
std::string HexOutsideImage(long line, std::uint32_t address);
/// No record of the file put data into memory: it is empty, holds no data records, or is no HEX text.
std::string HexNoData(const std::string& file);
/// count records read had a wrong or missing checksum, the first on line `line`; their data was taken.
std::string HexBadChecksums(long line, long count);
/// The file exists but could not be read.
std::string HexReadFailed(const std::string& file, const std::string& why);

}  // namespace pw::texts
