#pragma once
/// @file
/// The memory images the pages share: filled from HEX files or from a chip, written to a chip
/// or to a HEX file.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "frame/ImageData.h"

namespace pw {

struct MemoryImages {
  /// Elements in each data image: 64 K bytes.
  static constexpr std::size_t kElements = 65536;
  /// Words in the program-memory image: 128 K, the largest AVR's flash (256 KiB).
  static constexpr std::size_t kFlashWords = 131072;
  /// Bytes in the data-memory image: the largest I2C EEPROM (24M02) holds 256 KiB.
  static constexpr std::size_t kEepromElements = 262144;

  /// Program memory (AVR flash, PIC program memory); word w stands at HEX bytes 2w (low) and 2w + 1.
  std::vector<std::uint16_t> FlashImage = std::vector<std::uint16_t>(kFlashWords);
  /// Data memory of the AVR EEPROM, I2C EEPROM and PIC pages; PIC location k is byte 2k.
  std::vector<std::uint8_t> EepromImage = std::vector<std::uint8_t>(kEepromElements);
  /// The PIC configuration area: bytes 0 to 17 are the words 0x2000 to 0x2008, low byte first.
  std::vector<std::uint8_t> ConfigImage = std::vector<std::uint8_t>(kElements);

  /// Words of FlashImage that the last file (or PIC dump) filled: one past the highest, gaps included.
  std::int32_t FlashDataCount = 0;
  /// Bytes of EepromImage that the last file (or PIC dump) filled: one past the highest, gaps included.
  std::int32_t EepromDataCount = 0;

  /// Which words of FlashImage and bytes of EepromImage the last file's records held: writes
  /// program these and leave the rest of the chip alone.
  std::vector<bool> FlashFilled = std::vector<bool>(kFlashWords);
  std::vector<bool> EepromFilled = std::vector<bool>(kEepromElements);

  /// The last file loaded into FlashImage (EepromImage) had records with a wrong checksum: a
  /// write from it asks first (frame/DamagedFile.h). A read from the chip clears it.
  bool FlashDamaged = false;
  bool EepromDamaged = false;

  /// The program-memory image as operations take it.
  ImageData<std::uint16_t> Flash() const { return {FlashImage, &FlashFilled, FlashDataCount, FlashDamaged}; }
  /// The data-memory image as operations take it.
  ImageData<std::uint8_t> Eeprom() const { return {EepromImage, &EepromFilled, EepromDataCount, EepromDamaged}; }
};

}  // namespace pw
