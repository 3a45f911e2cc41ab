#pragma once
/// @file
/// The PIC microcontrollers the virtual programmer can carry, as their programming
/// documents describe them: geometry, device ID, configuration bits, commands and times.

#include <cstdint>
#include <string>

namespace pw::sim {

/// Programming families: each has its own command set and memory map. F629: 12F629/675,
/// 16F630/676; F683: 12F683, 16F684/688, 16F631-690; F7x: 16F72-77. These three program only
/// (a write clears bits; only an erase sets them) and leave their write latches at 0x3FFF after
/// every programming cycle. F88: 16F87/88 and 16F818/819; F88x: 16F882-887 (two configuration
/// words, calibration at 0x2009).
enum class SimPicFamily { F84A, F62xA, F87xA, Baseline, F629, F683, F7x, F88, F88x };

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

/// Whether the family is one of the program-only ones (F629, F683, F7x).
bool ProgramsOnly(SimPicFamily family);
/// Program-memory write latches of the family: words a programming cycle writes together (block =
/// counter without its low bits); 1 for the program-only families that write single words, 0 where
/// the part gives its own (SimPicPart::LatchWords) or the family has none.
std::uint32_t LatchWords(SimPicFamily family);
/// The command that closes an externally timed programming cycle.
int EndCommand(SimPicFamily family);
/// Configuration-word bits the factory sets (band gap) and a bulk erase destroys; 0: none.
std::uint16_t BandGapBits(SimPicFamily family);
/// Whether word 0x2008 holds a read-only factory calibration word no erase touches.
bool CalibrationAt2008(SimPicFamily family);

/// Configuration-word bits that exist (the others read 1).
std::uint16_t ConfigBits(SimPicFamily family);
/// Configuration bits that protect program memory (any of them 0: protected).
std::uint16_t CodeProtectBits(SimPicFamily family);
/// Configuration bits that protect data memory (any of them 0: protected).
std::uint16_t DataProtectBits(SimPicFamily family);
/// Program words a Row Erase (17) takes; 0: the family has no Row Erase.
std::uint32_t RowWords(SimPicFamily family);

}  // namespace pw::sim
