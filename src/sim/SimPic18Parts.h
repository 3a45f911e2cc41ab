#pragma once
/// @file
/// The PIC18 microcontrollers the virtual programmer can carry, as the PIC18F2XXX/4XXX
/// programming document and the parts' datasheets describe them: memory sizes, device ID,
/// write buffer, configuration bytes and the ICSP times.

#include <array>
#include <cstdint>
#include <string>

namespace pw::sim {

/// Configuration bytes 0x300000 to 0x30000D.
inline constexpr std::uint32_t kPic18ConfigBytes = 14;

/// What a part's configuration bytes hold: bits that exist (the others read 0) and the value
/// each byte takes after a chip erase (the datasheet's unprogrammed value).
struct SimPic18Config {
  std::array<std::uint8_t, kPic18ConfigBytes> Implemented;
  std::array<std::uint8_t, kPic18ConfigBytes> Erased;
};

struct SimPic18Part {
  const char* Name;
  /// User program memory in bytes.
  std::uint32_t ProgramBytes;
  /// Data EEPROM in bytes.
  std::uint32_t DataBytes;
  /// DEVID2 << 8 | DEVID1, the revision in the low five bits.
  std::uint16_t DeviceId;
  /// Bytes of the program-memory write buffer (a power of two).
  std::uint32_t WriteBuffer;
  const SimPic18Config* Config;
};

/// ICSP times in microseconds (the same on every part carried).
struct SimPic18Times {
  static constexpr std::uint64_t Program = 1000;  ///< P9: PGC held high to write program memory or IDs
  static constexpr std::uint64_t Config = 5000;   ///< P9A: the same for a configuration byte
  static constexpr std::uint64_t Erase = 5000;    ///< P11: PGD held low for a chip erase
  static constexpr std::uint64_t Data = 4000;     ///< P11A: a data EEPROM write, WR set meanwhile
};

/// The part of that name (as its maker writes it, any letter case), or null.
const SimPic18Part* FindSimPic18Part(const std::string& name);

}  // namespace pw::sim
