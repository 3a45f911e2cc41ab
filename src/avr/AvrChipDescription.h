#pragma once
/// @file
/// chips.ini: one section per AVR, named by its signature text ("0x1E 0x95 0x0F"), with the chip's
/// name, flash and EEPROM geometry and the names of its 24 fuse bits.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "avr/AvrUtils.h"
#include "ini/IniFile.h"

namespace pw {

inline constexpr const char* kChipsIniName = "chips.ini";
/// Shown instead of the signature, and used as the section name, when chips.ini is missing.
inline constexpr const char* kNoIniText = "нету ini файла";
inline constexpr const char* kUnknownChip = "неизвестный";
/// A fuse-bit name that means the bit has no box.
inline constexpr const char* kNoFuseName = "NONE";
inline constexpr int kFuseBitCount = 24;
/// The lock bits of a chip with boot-lock fields, the default of a section without LockBits.
inline constexpr std::uint8_t kAllLockBits = 0x3F;

/// One chip's section, with the defaults of missing keys applied.
struct AvrChipDescription {
  std::string Chip = kUnknownChip;
  /// FusesNames[n]: low fuse bits 0..7, high 0..7, extended 0..7.
  std::array<std::string, kFuseBitCount> FusesNames;
  /// Words per flash page, and pages; 0 pages (the default of a section chips.ini lacks) marks a
  /// chip the program cannot serve.
  std::int64_t FlashPageSize = 0;
  std::int64_t FlashPagesCount = 0;
  /// Bytes per EEPROM page, and pages.
  std::int64_t EepromPageSize = 0;
  std::int64_t EepromPagesCount = 0;
  /// The chip has no EEPROM page commands: its EEPROM is written one byte at a time.
  bool EepromByteWrite = false;
  /// The chip's write-cycle times (ms) from FlashPageDelayMs, EepromDelayMs, EraseDelayMs and
  /// FuseDelayMs; missing keys give the safe defaults of AvrWriteDelays.
  std::int64_t FlashPageDelayMs = AvrWriteDelays{}.FlashPageMs;
  std::int64_t EepromDelayMs = AvrWriteDelays{}.EepromMs;
  std::int64_t EraseDelayMs = AvrWriteDelays{}.EraseMs;
  std::int64_t FuseDelayMs = AvrWriteDelays{}.FuseMs;
  /// InternalClockKHz: the CKSEL codes of internal oscillators and their kHz ("0010:8000 0011:128").
  std::string InternalClockKHz;
  /// LockBits: the bits of the lock byte the chip has (the lock mode 03, with the boot-lock
  /// fields 3F); the others are written as 1 and never compared.
  std::uint8_t LockBits = kAllLockBits;

  std::int64_t FlashWords() const { return FlashPageSize * FlashPagesCount; }
  std::int64_t EepromBytes() const { return EepromPageSize * EepromPagesCount; }
  /// The bits of fuse byte which (0 low, 1 high, 2 extended) that have a name: the bits it has.
  std::uint8_t FuseBits(int which) const;
};

/// "0x" and two upper-case hex digits per byte, blank-separated.
std::string SignatureText(std::uint8_t s0, std::uint8_t s1, std::uint8_t s2);

/// The section named section, each missing key at its default.
AvrChipDescription ReadChipDescription(const IniFile& chips, const std::string& section);

/// The waits after writes for the chip: its own times, never below AVRUtils' fixed minimums.
/// Only for a description without DescriptionFault.
AvrWriteDelays WriteDelays(const AvrChipDescription& chip);

/// Why the description cannot be served safely: no flash pages, a page size of 0 or larger than
/// one batch can carry, a flash larger than 24-bit word addresses (the extended address byte
/// above 16 bits) or an EEPROM larger than 16-bit addresses reach, or a write delay outside
/// 1..1000 ms. Nothing when it is sound. The text is a log line naming the section and the key.
std::optional<std::string> DescriptionFault(const AvrChipDescription& chip, const std::string& section);

/// The first fault of chips.ini, checked section by section when it loads: FlashPageSize or
/// FlashPagesCount missing, a value read as a number that is none (or an InternalClockKHz that
/// is no list of CODE:KHZ pairs), EepromByteWrite other than 0 or 1, a LockBits that is no hex
/// mask within 3F holding the lock-mode bits 1..0, or a DescriptionFault.
/// Nothing when every section is sound.
std::optional<std::string> ChipsIniFault(const IniFile& chips);

}  // namespace pw
