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

namespace pw {

/// AVR flash: a binary file's bytes, or every record, becomes program words in FlashImage, counted in FlashDataCount.
std::string LoadAvrFlashFile(const std::filesystem::path& file, MemoryImages& images);

/// AVR EEPROM and I2C EEPROM: a binary file's bytes, or every record lands in EepromImage at its own address, counted
/// in EepromDataCount, marked in EepromFilled. ReadBuffer serves as the unused word image and is overwritten.
std::string LoadEepromFile(const std::filesystem::path& file, MemoryImages& images);

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
