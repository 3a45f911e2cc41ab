#pragma once
/// @file
/// The SPI Flash page's files: an Intel HEX file whose byte addresses are the chip's (extended
/// linear address records above 64 KiB), or a raw binary file (FormatOf) that starts at address 0.
/// Kept apart from the shared images: a flash holds up to 128 MiB.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "frame/ImageFiles.h"

namespace pw {

struct SpiFlashImage {
  /// The file's bytes at their chip addresses, 0xFF where the file has none.
  std::vector<std::uint8_t> Bytes;
  /// Which bytes the file holds: a write leaves the others as the chip has them.
  std::vector<bool> Filled;
  /// One past the highest byte the file holds.
  std::uint32_t End = 0;
  /// The HEX file had records with a wrong checksum: a write from it asks first.
  bool Damaged = false;
};

/// Loads file (HEX or BIN) of at most 16 MiB of data. Raises PinwrightError with the message of
/// the HEX reader or a line naming the file when it cannot be used; notice receives a line about
/// records with a wrong checksum, or stays empty.
SpiFlashImage LoadSpiFlashImage(const ImageFile& file, std::string& notice);

/// The whole chip as HEX text: 16-byte records, an extended linear address record before each
/// 64 KiB, the end record.
std::string SpiFlashHexText(std::span<const std::uint8_t> bytes);

/// Writes bytes to file, as binary or HEX (FormatOf), replacing it only once complete.
void SaveSpiFlashImage(const ImageFile& file, std::span<const std::uint8_t> bytes);

}  // namespace pw
