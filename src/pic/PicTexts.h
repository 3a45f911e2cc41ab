#pragma once
/// @file
/// Texts of the PIC page's memory operations.

#include <cstdint>
#include <string>

#include "common/HexDigits.h"

namespace pw::texts {

inline constexpr const char* kPicWriteFailed = "Ошибка при прошивании";
inline constexpr const char* kPicFlashWritten = "флеш прошита и проверена ошибок нет";
inline constexpr const char* kPicDataWritten = "еепром прошита и проверена ошибок нет";
inline constexpr const char* kPicMismatchAt = "ошибка по адресу: ";
inline constexpr const char* kPicNoDataMemoryData = "в файле нет данных для Eeprom: Eeprom не записывается";
inline constexpr const char* kPicNoFlashData = "в файле нет данных для флеши: флеш не записывается";
inline constexpr const char* kPicTypeTooLarge =
    "Ошибка: память этого типа в PIC.ini больше, чем помещается в файл дампа; ничего не считано";
inline constexpr const char* kPicCalibrationLost =
    "Ошибка! Калибровочное слово генератора не удалось записать обратно после стирания";

/// The log line of a file loaded for the PIC page.
inline std::string PicFileLine(const std::string& file) { return "файл : " + file; }

/// File data beyond the memory the type has: the target would wrap them onto its first locations.
inline std::string PicFileTooLarge(const char* memory, std::int64_t count, std::int64_t size, const char* unit) {
  return std::string("Ошибка: данных в файле для ") + memory + " " + std::to_string(count) + unit + ", а у типа " +
         std::to_string(size) + unit + "; ничего не записано";
}

/// A file put data at program-memory word address word, where the PIC layout has no memory.
inline std::string PicDataNowhere(std::uint32_t word) {
  return "Ошибка! В файле данные по адресу слова 0x" + HexDigits(word, 4) +
         ": там нет ни памяти программ, ни конфигурации, ни Eeprom; файл не загружен";
}

/// Bits of the configuration word that the type does not have, written as the file holds them.
inline std::string PicIgnoredConfigBits(const std::string& bits) {
  return "биты конфигурационного слова, которых нет у этого типа (микросхема их не примет):" + bits;
}

}  // namespace pw::texts
