#pragma once
/// @file
/// Loading a HEX or raw binary file into the shared images with the layout each page uses, and
/// saving what a read collected in the format the file's name asks for.
///
/// A file whose name ends in ".bin" (any case) is a raw image: byte k of the file is byte k of
/// the memory (flash words low byte first), every byte counts as held by the file. Any other
/// name is Intel HEX.
///
/// Every load is all or nothing: on any error (texts::kFileNotFound for a missing file,
/// texts::HexNoData for a file without data) the images, counts and filled maps keep what
/// they held. Each returns a line for the log about records with a wrong checksum, or an
/// empty text when there were none.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "frame/MemoryImages.h"
#include "hexfile/HexReader.h"

namespace pw {

/// AVR EEPROM and I2C EEPROM: a binary file's bytes, or every record lands in EepromImage at its own address, counted
/// in EepromDataCount, marked in EepromFilled.
std::string LoadEepromFile(const std::filesystem::path& file, MemoryImages& images);

/// A start address that no record of a file reaches in practice: a layout's targets that take
/// no records start there (records that do land there go to scratch and are not counted).
inline constexpr std::uint32_t kUnusedRegion = 0x0FFFFFFF;

/// The log line about records with a wrong checksum in a load's report; empty when there were none.
std::string ChecksumNotice(const HexLoadReport& report);

/// Whether file names a raw binary image (its extension is ".bin" in any case).
bool IsBinaryFile(const std::filesystem::path& file);

/// The bytes of the raw binary file file, which must hold 1 to capacity bytes: a missing, empty
/// or larger file raises PinwrightError naming it (and both sizes).
std::string ReadBinaryImage(const std::filesystem::path& file, std::size_t capacity);

/// Saves what a read collected: raw, the memory's bytes in order, when file is a binary image,
/// else hexText (the records without the end record, which SaveHexText adds). Atomic like
/// SaveHexText: a failure raises PinwrightError and leaves the file as it was.
void SaveImageFile(const std::filesystem::path& file, std::string& hexText, std::span<const std::uint8_t> raw);

/// The file dialogs' filter of the pages that take both kinds: HEX, binary, any file.
inline constexpr const char* kImageFilter = "hex|*.hex|bin|*.bin|все файлы|*";

}  // namespace pw
