#pragma once
/// @file
/// Reading the program an avr-gcc ELF file holds: its loadable segments at their load addresses.
///
/// avr-gcc gives each memory its own range of load addresses: flash from 0, data memory from
/// kAvrElfDataBase (whose initial values .data carries in flash, at its load address), EEPROM
/// from kAvrElfEepromBase, then fuses, lock bits and signature above it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

/// Where avr-gcc's load addresses of data memory and of EEPROM start.
inline constexpr std::uint32_t kAvrElfDataBase = 0x800000;
inline constexpr std::uint32_t kAvrElfEepromBase = 0x810000;
/// Where the load addresses above EEPROM (fuses, lock bits, signature) start.
inline constexpr std::uint32_t kAvrElfEepromEnd = 0x820000;

/// One loadable segment: the bytes the file holds for it, at its load (physical) address.
struct ElfSegment {
  std::uint32_t Address = 0;
  std::string Bytes;
};

/// Whether bytes begin with the ELF magic number.
bool LooksLikeElf(std::string_view bytes);

/// The segments with file data of the program headers of bytes, an ELF file built for AVR, in
/// the order of the headers. Raises PinwrightError naming file (texts/ElfTexts.h) when bytes are
/// no ELF file, are built for another machine, or are cut short or contradict their headers.
std::vector<ElfSegment> ReadAvrElf(std::string_view bytes, const std::string& file);

}  // namespace pw
