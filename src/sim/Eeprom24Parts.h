#pragma once
/// @file
/// The 24Cxx serial EEPROMs the virtual programmer can carry, as their datasheets describe them.

#include <cstdint>
#include <string>

namespace pw::sim {

struct Eeprom24Part {
  const char* Name;
  std::uint32_t Size;
  std::uint32_t PageSize;
  /// Word-address bytes after the device byte: 1 (high bits, if any, in the device byte) or 2.
  int AddressBytes;
  /// Device-byte bits 1.. that carry address bits 8.. instead of chip-select inputs.
  int BlockBits;
};

/// The part of that name (as its maker writes it, any letter case), or null.
const Eeprom24Part* FindEeprom24Part(const std::string& name);

/// The write cycle after a stop, in microseconds.
inline constexpr std::uint64_t kEeprom24WriteCycleMicros = 5000;

}  // namespace pw::sim
