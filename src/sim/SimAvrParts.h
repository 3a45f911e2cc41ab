#pragma once
/// @file
/// The AVR parts the virtual programmer can carry, from their datasheets: signature, memory
/// geometry, factory fuses, which fuse and lock bits exist, where the fuses that matter to
/// serial programming are, how the low fuse picks the clock, and write-cycle times.
///
/// The simulator keeps its own copy of these facts rather than reading chips.ini: it is the
/// stand-in for the silicon that chips.ini and the program are checked against, so it must not
/// take its facts from the files it checks. tests/sim compares the two.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace pw::sim {

/// One fuse bit: the byte (0 low, 1 high, 2 extended) and the bit in it.
struct SimFuseBit {
  std::uint8_t Fuse = 0;
  std::uint8_t Bit = 0;
};

/// How the low fuse selects the CPU clock: CKSEL bits, CKDIV8, and what each CKSEL code means.
struct SimClockScheme {
  /// The CKSEL bits in the low fuse (from bit 0 up).
  std::uint8_t CkselMask = 0x0F;
  /// CKDIV8 in the low fuse (programmed: the clock is divided by 8); nothing on parts without it.
  std::optional<std::uint8_t> Ckdiv8Bit{};
  /// The frequency (Hz) of the internal oscillator each CKSEL code selects; 0: an external clock,
  /// crystal, resonator or RC network (the board's, if it has one), or a reserved code.
  std::array<std::uint32_t, 16> InternalHz{};
};

/// Write-cycle times in microseconds.
struct SimAvrTimes {
  std::uint32_t EraseUs = 0;
  std::uint32_t FlashUs = 0;
  /// An EEPROM byte or page.
  std::uint32_t EepromUs = 0;
  /// A fuse or the lock byte.
  std::uint32_t FuseUs = 0;
};

struct SimAvrPart {
  std::string_view Name;
  std::array<std::uint8_t, 3> Signature{};
  std::uint32_t FlashPageWords = 0;
  std::uint32_t FlashPages = 0;
  std::uint32_t EepromBytes = 0;
  /// The page size of the EEPROM page commands; 0: the part has none, only byte writes.
  std::uint32_t EepromPageBytes = 0;
  /// Factory values of the low, high and extended fuse.
  std::array<std::uint8_t, 3> FactoryFuses{};
  /// The fuse bits that exist, per byte; the others read 1 whatever is written.
  std::array<std::uint8_t, 3> FuseBits{};
  /// The lock bits that exist.
  std::uint8_t LockBits = 0x03;
  /// Programmed, chip erase keeps the EEPROM.
  SimFuseBit Eesave;
  /// Serial programming enable: cannot be changed over the serial interface.
  SimFuseBit Spien;
  /// RSTDISBL and DWEN where the part has them: programmed, RESET is no longer the serial
  /// interface's after the next reset.
  std::optional<SimFuseBit> Rstdisbl{};
  std::optional<SimFuseBit> Dwen{};
  const SimClockScheme* Clock = nullptr;
  /// The oscillator calibration byte read back at index 0.
  std::uint8_t Calibration = 0xFF;
  SimAvrTimes Times;

  std::uint32_t FlashWords() const { return FlashPageWords * FlashPages; }
  bool HasEepromPages() const { return EepromPageBytes != 0; }
};

/// Every part of the catalogue.
std::span<const SimAvrPart> SimAvrParts();

/// The part named name (case-insensitive), or null.
const SimAvrPart* FindSimAvrPart(std::string_view name);

/// The CPU clock (Hz) the fuses select; externalHz is what the board feeds an external clock or
/// crystal setting (0: nothing). 0 means the CPU does not run.
std::uint32_t SimCpuClockHz(const SimAvrPart& part, const std::array<std::uint8_t, 3>& fuses, std::uint32_t externalHz);

}  // namespace pw::sim
