#include "avr/AvrBaudProbe.h"

#include <algorithm>

namespace pw {
namespace {

using Signature = std::array<std::uint8_t, 3>;

bool NoChip(const Signature& signature) {
  return (signature[0] == 0xFF && signature[1] == 0xFF && signature[2] == 0xFF) ||
         (signature[0] == 0x00 && signature[1] == 0x00 && signature[2] == 0x00);
}

/// Whether the chip, entering programming mode afresh at baud, reads signature (when empty: the
/// first one read here, kept only when the step passes) every time. One Programming Enable
/// decides: released and asserted again, RESET has given the positive pulse a retry would give,
/// and a retry at the same clock would only wait the entry time once more.
bool ReadsSignature(D2XXUnit& unit, AVRUtils& avr, std::int32_t baud, std::optional<Signature>& signature) {
  SetLinkBaud(unit, baud);
  avr.AvrSetPins(AVRUtils::kResetReleased);
  if (!avr.AvrProgEnable(1)) return false;
  // A step too fast for the chip may read garbled bytes alike; the slower steps read the truth.
  std::optional<Signature> first = signature;
  for (int i = 0; i < kAutoBaudReads; ++i) {
    const auto read = avr.AvrReadSignature();
    if (NoChip(read) || (first && read != *first)) return false;
    first = read;
  }
  signature = first;
  return true;
}

/// The slowest step above the faster of opened and kShippedBaud (the top step when none is): the
/// chip is worked at that value anyway when it reads there, so the first question is whether it
/// takes the next one; a chip that does not still reads at the step below, which comes next.
std::size_t StartStep(std::int32_t opened) {
  const std::int32_t taken = std::max(opened, kShippedBaud);
  const auto above = std::upper_bound(kAutoBaudSteps.begin(), kAutoBaudSteps.end(), taken);
  return static_cast<std::size_t>(std::min(above, kAutoBaudSteps.end() - 1) - kAutoBaudSteps.begin());
}

/// The fastest step that reads the chip: climbing from start while the chip reads, or, when it
/// does not read at start, stepping down until it does.
std::optional<std::int32_t> FastestStep(D2XXUnit& unit, AVRUtils& avr, std::size_t start) {
  std::optional<Signature> signature;
  std::size_t i = start;
  if (ReadsSignature(unit, avr, kAutoBaudSteps[i], signature)) {
    while (i + 1 < kAutoBaudSteps.size() && ReadsSignature(unit, avr, kAutoBaudSteps[i + 1], signature)) ++i;
    return kAutoBaudSteps[i];
  }
  while (i > 0) {
    if (ReadsSignature(unit, avr, kAutoBaudSteps[--i], signature)) return kAutoBaudSteps[i];
  }
  return std::nullopt;
}

}  // namespace

std::optional<AvrBaudChoice> ProbeAvrBaud(D2XXUnit& unit, AVRUtils& avr) {
  const std::int32_t before = unit.LinkBaud;
  const std::optional<std::int32_t> fastest = FastestStep(unit, avr, StartStep(before));
  if (!fastest) {
    SetLinkBaud(unit, before);
    return std::nullopt;
  }
  const AvrBaudChoice choice{*fastest, AvrWorkingBaud(*fastest, before)};
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
