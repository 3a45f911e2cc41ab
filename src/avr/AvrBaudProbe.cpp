#include "avr/AvrBaudProbe.h"

#include <algorithm>

namespace pw {
namespace {

bool NoChip(const std::array<std::uint8_t, 3>& signature) {
  return (signature[0] == 0xFF && signature[1] == 0xFF && signature[2] == 0xFF) ||
         (signature[0] == 0x00 && signature[1] == 0x00 && signature[2] == 0x00);
}

/// Whether the chip enters programming mode afresh and reads signature (the first one it reads
/// when signature is empty) every time.
bool ReadsSignature(AVRUtils& avr, std::optional<std::array<std::uint8_t, 3>>& signature) {
  avr.AvrSetPins(AVRUtils::kResetReleased);
  if (!avr.AvrProgEnable()) return false;
  for (int i = 0; i < kAutoBaudReads; ++i) {
    const auto read = avr.AvrReadSignature();
    if (NoChip(read) || (signature && read != *signature)) return false;
    signature = read;
  }
  return true;
}

}  // namespace

std::optional<AvrBaudChoice> ProbeAvrBaud(D2XXUnit& unit, AVRUtils& avr) {
  const std::int32_t before = unit.LinkBaud;
  std::optional<std::array<std::uint8_t, 3>> signature;
  std::int32_t fastest = 0;
  for (const std::int32_t baud : kAutoBaudSteps) {
    SetLinkBaud(unit, baud);
    if (!ReadsSignature(avr, signature)) break;
    fastest = baud;
  }
  if (fastest == 0) {
    SetLinkBaud(unit, before);
    return std::nullopt;
  }
  const AvrBaudChoice choice{fastest, AvrWorkingBaud(fastest, before)};
  SetLinkBaud(unit, choice.Working);
  return choice;
}

std::int32_t AvrWorkingBaud(std::int32_t fastest, std::int32_t opened) {
  std::int32_t working = std::min(fastest / 2, kUsbLimitBaud);
  for (const std::int32_t taken : {opened, kShippedBaud}) {
    if (taken <= fastest) working = std::max(working, taken);
  }
  return working;
}

bool AnswersSlowly(D2XXUnit& unit, AVRUtils& avr) {
  const std::int32_t before = unit.LinkBaud;
  if (before <= kAvrSlowLookBaud) return false;
  SetLinkBaud(unit, kAvrSlowLookBaud);
  // Released first, the chip enters afresh: bytes garbled at the fast clock leave no trace.
  avr.AvrSetPins(AVRUtils::kResetReleased);
  const bool answers = avr.AvrProgEnable();
  SetLinkBaud(unit, before);
  return answers;
}

}  // namespace pw
