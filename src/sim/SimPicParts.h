#pragma once
/// @file
/// The PIC microcontrollers the virtual programmer can carry, as their programming
/// documents describe them: geometry, device ID, configuration bits, commands and times.

#include <cstdint>
#include <string>

namespace pw::sim {

/// Programming families: each has its own command set and memory map.
/// F88: 16F87/88 and 16F818/819; F88x: 16F882-887 (two configuration words, calibration at 0x2009).
enum class SimPicFamily { F84A, F62xA, F87xA, Baseline, F88, F88x };

struct SimPicPart {
  const char* Name;
  SimPicFamily Family;
  /// User program memory in words.
  std::uint32_t ProgramWords;
  /// Data memory (EEPROM) in bytes; 0: none.
  std::uint32_t DataBytes;
  /// What word 0x2006 reads (device ID and revision); 0 for the baseline parts, which have none.
  std::uint16_t DeviceId;
  /// Program words of the write latch on the F88 and F88x families (0: none, or the family's own).
  std::uint32_t LatchWords = 0;
  /// Bits of configuration word 0x2008 that exist (0: the part has one configuration word).
  std::uint16_t Config2Bits = 0;
};

/// The part of that name (as its maker writes it, any letter case), or null.
const SimPicPart* FindSimPicPart(const std::string& name);

/// Self-timed or minimum cycle times in microseconds, per family.
struct SimPicTimes {
  std::uint64_t Program;      ///< Begin Erase/Programming (8) on program memory and configuration
  std::uint64_t ProgramOnly;  ///< Begin Programming Only (24) up to its end
  std::uint64_t Data;         ///< a data-memory write
  std::uint64_t Erase;        ///< bulk and chip erase, and the 16F84A protection clearing
};

SimPicTimes TimesOf(SimPicFamily family);

/// Whether the family understands ICSP command cmd (6-bit value).
bool Understands(SimPicFamily family, int cmd);

/// Configuration-word bits that exist (the others read 1).
std::uint16_t ConfigBits(SimPicFamily family);
/// Configuration bits that protect program memory (any of them 0: protected).
std::uint16_t CodeProtectBits(SimPicFamily family);
/// Configuration bits that protect data memory (any of them 0: protected).
std::uint16_t DataProtectBits(SimPicFamily family);
/// Program words a Row Erase (17) takes; 0: the family has no Row Erase.
std::uint32_t RowWords(SimPicFamily family);

}  // namespace pw::sim
