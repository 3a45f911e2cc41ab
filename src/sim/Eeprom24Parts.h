#pragma once
/// @file
/// The 24Cxx serial EEPROMs the virtual programmer can carry, as their datasheets describe them.

#include <cstdint>
#include <string>

namespace pw::sim {

struct Eeprom24Part {
  const char* Name;
  std::uint32_t Size;
  /// Bytes of the page buffer; 1: no page buffer, a write takes one data byte and refuses more.
  std::uint32_t PageSize;
  /// Word-address bytes after the device byte: 1 (high bits, if any, in the device byte) or 2.
  int AddressBytes;
  /// Device-byte bits that carry the address bits above the address bytes instead of chip-select
  /// inputs: how many, from which bit on.
  int BlockBits;
  int BlockShift = 1;
  /// Sequential reads roll over at the end of each stretch of this many bytes (0: the whole memory).
  std::uint32_t ReadWrap = 0;
  /// Device-byte bits 1-3 the chip does not look at (its select inputs are not connected).
  std::uint8_t IgnoredSelect = 0;
};

/// The part of that name (as its maker writes it, any letter case), or null.
const Eeprom24Part* FindEeprom24Part(const std::string& name);

/// The write cycle after a stop, in microseconds.
inline constexpr std::uint64_t kEeprom24WriteCycleMicros = 5000;

}  // namespace pw::sim
