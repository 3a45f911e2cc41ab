#pragma once
/// @file
/// PIC device types from PIC.ini: one section per type, named as the maker writes the part.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "frame/Frame.h"
#include "ini/IniFile.h"
#include "pic/PicConfigArea.h"
#include "pic/PicMethods.h"

namespace pw {

/// The description file of the PIC types.
inline constexpr const char* kPicTypesFile = "PIC.ini";

/// What PIC.ini says of one type; keys that are missing give these defaults.
struct PicTypeValues {
  /// The caption of a configuration bit that does not exist.
  static constexpr const char* kNoName = "NONE";

  std::int32_t FlashSize = 0;
  /// Key Eeprom: data-memory locations.
  std::int32_t EepromSize = 0;
  PicProgramming ProgrammType = PicProgramming::EraseProgram;
  PicEntry EnterType = PicEntry::MclrPulse;
  PicErase EraseType = PicErase::BulkAfterProgramCycle;
  /// Key WriteLatch: program words the write latch of a LatchedProgramOnly or LatchedExternal
  /// type takes, programmed at once (1, 2, 4, 8 or 16).
  std::int32_t WriteLatch = 1;
  /// Key Osccal: program-word address of a factory calibration word an erase must keep; 0: none.
  std::int32_t Osccal = 0;
  /// Key BandGap: the configuration-word bits the factory sets and an erase destroys; the
  /// chip's values are kept across an erase and any configuration write. 0: none.
  std::int32_t BandGap = 0;
  /// Key ProgramMs: the longest self-timed cycle (program, data or erase) of the type, in ms;
  /// missing: 10, the slowest of the parts served.
  std::int32_t ProgramMs = 10;
  /// Keys EraseProgramMs, ProgramOnlyMs and DataMs: the waits, in ms, of an erase-and-program
  /// cycle (Begin Erase/Programming, 8), a program-only cycle (Begin Programming Only, 24) and a
  /// data-memory write, as the maker's programming document gives them; missing: ProgramMs.
  std::int32_t EraseProgramMs = 10;
  std::int32_t ProgramOnlyMs = 10;
  std::int32_t DataMs = 10;
  /// Key EraseMs: the wait after each bulk or chip erase, in ms; missing: 100.
  std::int32_t EraseMs = kPicEraseRunMs;
  /// Key DeviceId: word 0x2006 without its revision bits (PIC18: DEVID2:DEVID1, 16 bits); 0: the
  /// type carries no device ID.
  std::int32_t DeviceId = 0;
  /// Key WriteBuffer: bytes of a PIC18 type's write buffer, a power of two; other types: 0.
  std::int32_t WriteBuffer = 0;
  /// Keys FusesNames[0] .. FusesNames[111]: bit n of the configuration (pic/PicConfigArea.h);
  /// the window's panel shows 32 of them at a time.
  std::array<std::string, kPicConfigBits> FusesNames;

  /// Why the type cannot be used (a line naming the section, the key and what it needs), empty
  /// when it can: a method number PIC.ini does not define, a size or address that is no number
  /// or out of range. The operations of such a type are refused.
  std::string Problem;

  /// Whether configuration bit n exists: its name is anything but exactly kNoName.
  bool Named(std::size_t n) const { return n < FusesNames.size() && FusesNames[n] != kNoName; }
  /// The wait of a program-memory word or write-latch block: a program-only cycle where the
  /// type's method programs without erasing.
  std::int32_t WordCycleMs() const;
  /// The wait of a single word (configuration, ID, calibration) the type programs on its own.
  std::int32_t OneWordCycleMs() const;
  /// Whether the type is a PIC18 part (ProgrammType 7), which the PIC18 operations serve.
  bool Pic18() const { return ProgrammType == PicProgramming::Pic18; }
};

/// Configuration bits the window's panel shows at a time: one group of four configuration bytes.
inline constexpr std::size_t kPicPanelBits = 32;

/// Groups of kPicPanelBits configuration bits up to the last one the type names (at least 1).
inline std::size_t PicConfigGroups(const PicTypeValues& type) {
  std::size_t groups = 1;
  for (std::size_t n = kPicPanelBits; n < type.FusesNames.size(); ++n) {
    if (type.Named(n)) groups = n / kPicPanelBits + 1;
  }
  return groups;
}

/// Whether the type is a PIC18 part (byte-addressed files, 14 configuration bytes, ID bytes):
/// its ProgrammType, which also picks its programming (PicTypeValues::Pic18).
inline bool PicIsPic18(const PicTypeValues& type) { return type.Pic18(); }

/// A PIC.ini number: decimal, or hexadecimal after 0x, 0X or $; anything else is no number.
std::optional<std::int32_t> PicIniInteger(std::string_view text);

/// The values of section type (any letter case); a missing file or section gives the defaults.
/// The first unusable key sets Problem; the key keeps its default.
PicTypeValues ReadPicType(const IniFile& ini, const std::string& type);

/// A step that refuses every operation of a type with a Problem before the programmer is opened.
OperationStep PicTypeCheck(const PicTypeValues& type);

}  // namespace pw
