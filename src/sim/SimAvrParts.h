#pragma once
/// @file
/// The AVR parts the virtual programmer can carry, from their datasheets: signature, memory
/// geometry, factory fuses, which fuse and lock bits exist, and write-cycle times.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace pw::sim {

struct SimAvrPart {
  std::string_view Name;
  std::array<std::uint8_t, 3> Signature;
  std::uint32_t FlashPageWords;
  std::uint32_t FlashPages;
  /// EEPROM bytes, and the page size of its page commands (0: the part has none, only byte writes).
  std::uint32_t EepromBytes;
  std::uint32_t EepromPageBytes;
  /// Factory values of the low, high and extended fuse.
  std::array<std::uint8_t, 3> FactoryFuses;
  /// The fuse bits that exist, per byte; the others read 1 whatever is written.
  std::array<std::uint8_t, 3> FuseBits;
  /// The lock bits that exist.
  std::uint8_t LockBits;
  /// Where EESAVE is: fuse byte (0 low, 1 high) and bit. Programmed (0), chip erase keeps the EEPROM.
  std::uint8_t EesaveFuse;
  std::uint8_t EesaveBit;
  /// The oscillator calibration byte read back at index 0.
  std::uint8_t Calibration;
  /// Write-cycle times in microseconds: chip erase, flash page, EEPROM (byte or page), fuse or lock.
  std::uint32_t EraseUs;
  std::uint32_t FlashUs;
  std::uint32_t EepromUs;
  std::uint32_t FuseUs;

  std::uint32_t FlashWords() const { return FlashPageWords * FlashPages; }
  bool HasEepromPages() const { return EepromPageBytes != 0; }
};

/// Every part of the catalogue.
std::span<const SimAvrPart> SimAvrParts();

/// The part named name (case-insensitive), or null.
const SimAvrPart* FindSimAvrPart(std::string_view name);

}  // namespace pw::sim
