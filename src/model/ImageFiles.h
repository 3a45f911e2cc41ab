#pragma once
/// @file
/// Loading a HEX file into the shared images with the layout each page uses.
///
/// Every load is all or nothing: on any error (texts::kFileNotFound for a missing file,
/// texts::HexNoData for a file without data) the images, counts and filled maps keep what
/// they held. Each returns a line for the log about records with a wrong checksum, or an
/// empty text when there were none.

#include <cstdint>
#include <filesystem>
#include <string>

#include "model/MemoryImages.h"

namespace pw {

/// AVR flash: every record becomes program words in FlashImage, counted in FlashDataCount.
std::string LoadAvrFlashFile(const std::filesystem::path& file, MemoryImages& images);

/// AVR EEPROM and I2C EEPROM: every record lands in EepromImage at its own address, counted in
/// EepromDataCount, marked in EepromFilled. ReadBuffer serves as the unused word image and is overwritten.
std::string LoadEepromFile(const std::filesystem::path& file, MemoryImages& images);

/// PIC: byte addresses below 0x4000 are program words (FlashImage, FlashDataCount),
/// 0x4000-0x41FF configuration bytes (ConfigImage at address - 0x4000), 0x4200 upward
/// data-memory bytes (EepromImage at address - 0x4200, EepromDataCount).
std::string LoadPicFile(const std::filesystem::path& file, MemoryImages& images);

/// First byte address of the PIC configuration area and of its data memory in a HEX file.
inline constexpr std::uint32_t kPicConfigAddress = 0x4000;
inline constexpr std::uint32_t kPicDataAddress = 0x4200;

}  // namespace pw
