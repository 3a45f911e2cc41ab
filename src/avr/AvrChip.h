#pragma once
/// @file
/// The chip on the AVR header as one identification finds it: its signature, what chips.ini
/// says of it, its fuse and lock bytes, and whether the program can serve it.

#include <cstdint>
#include <filesystem>
#include <string>

#include "avr/AvrChipDescription.h"
#include "avr/AvrDiagnosis.h"
#include "avr/AvrUtils.h"
#include "frame/OperationRun.h"

namespace pw {

struct AvrChip {
  /// The signature as chips.ini names its sections ("0x1E 0x95 0x0F"); kNoIniText when there is
  /// no chips.ini. A chips.ini that cannot be used serves no chip, whatever section is looked up.
  std::string Signature;
  AvrChipDescription Description;
  AvrFuseBytes Fuses;
  /// Read from a usable chip only; 0xFF otherwise.
  std::uint8_t Lock = 0xFF;
  /// chips.ini describes the chip soundly and with flash pages: its geometry may be used.
  bool Usable = false;
  /// The chip echoed Programming Enable.
  bool Answers = false;
  /// What the identification saw, for the diagnosis of a chip that does not answer.
  AvrEvidence Evidence;
  /// The waits after writes: the chip's own when it is usable, the safe ones otherwise.
  AvrWriteDelays Delays;

  std::int32_t FlashPageWords() const { return static_cast<std::int32_t>(Description.FlashPageSize); }
  std::int32_t FlashPages() const { return static_cast<std::int32_t>(Description.FlashPagesCount); }
  std::int64_t FlashWords() const { return Description.FlashWords(); }
  std::int32_t EepromPageBytes() const { return static_cast<std::int32_t>(Description.EepromPageSize); }
  std::int64_t EepromBytes() const { return Description.EepromBytes(); }
};

/// Enters programming mode on the open programmer ("AVR-ISP"), reads signature and fuses, looks
/// the chip up in chipsIni and, for a usable chip, reads its lock byte; avr takes the chip's
/// write delays. Logs through run what is wrong with chips.ini and, with report, the chip's
/// sizes, signature and name.
AvrChip IdentifyAvrChip(AVRUtils& avr, const std::filesystem::path& chipsIni, OperationRun& run, bool report);

}  // namespace pw
