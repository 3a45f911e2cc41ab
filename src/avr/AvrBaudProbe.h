#pragma once
/// @file
/// The fastest clock a chip on the AVR header takes: its signature is read at baud values from
/// the one above the value the programmer would work at anyway, rising while the chip reads it
/// the same several times in a row, falling when it does not; the programmer then works at half
/// the fastest value that did, for margin (the SCK phase a chip follows depends on its CPU clock,
/// which the program does not know), but never faster than USB carries the samples and never
/// slower than a value the person would work at anyway, when that one read it.

#include <array>
#include <cstdint>
#include <optional>

#include "avr/AvrUtils.h"
#include "link/AutoBaud.h"
#include "link/D2xxUnit.h"

namespace pw {

/// The baud values tried, in rising order. From 1200 baud, SCK phases of 26 µs suit a chip on its
/// 128 kHz oscillator; the top is the first step whose half reaches the USB limit: a chip that
/// takes it is worked at that limit, and a faster step could not be worked any faster.
inline constexpr std::array<std::int32_t, 10> kAutoBaudSteps{1200,  2400,  4800,  9600,  14400,
                                                             19200, 28800, 38400, 57600, 76800};
static_assert(kAutoBaudSteps.back() / 2 >= kUsbLimitBaud && kAutoBaudSteps.end()[-2] / 2 < kUsbLimitBaud);
/// Signature reads that must agree at one baud value.
inline constexpr int kAutoBaudReads = 3;

struct AvrBaudChoice {
  /// The fastest baud value at which every read gave the signature.
  std::int32_t Fastest = 0;
  /// The value to work at (AvrWorkingBaud).
  std::int32_t Working = 0;
};

/// The value to work at when fastest was the fastest step that read the signature and the
/// programmer was opened at opened: half of fastest, at most kUsbLimitBaud; but no less than
/// opened or kShippedBaud where that value is not above fastest (a chip that reads at a step reads
/// at every slower value).
std::int32_t AvrWorkingBaud(std::int32_t fastest, std::int32_t opened);

/// Finds the fastest of kAutoBaudSteps the chip on the open programmer takes. The first step
/// tried is the slowest one above the value the programmer was opened at and kShippedBaud
/// (AvrWorkingBaud works at these when the chip reads there, so the steps below them matter only
/// for a chip that does not); from there the steps rise while the chip reads, and when it does
/// not read at the first, they fall until it does. At each step the chip enters programming mode
/// afresh after RESET was released, so that bytes garbled by a clock too fast for it are never
/// taken as instructions, and its signature is read kAutoBaudReads times. A step fails when the
/// chip does not echo its one Programming Enable or a read differs from the first signature read
/// (or reads as no chip). Leaves the programmer at the working value, or at the value it had
/// when no step read the chip (nothing is returned then).
std::optional<AvrBaudChoice> ProbeAvrBaud(D2XXUnit& unit, AVRUtils& avr);

/// The baud value of a second look at a chip that did not answer: the slowest step.
inline constexpr std::int32_t kAvrSlowLookBaud = kAutoBaudSteps.front();

/// Whether the chip, entering afresh, echoes Programming Enable at kAvrSlowLookBaud; tried only
/// when the programmer works faster than that, whose baud value is restored afterwards.
bool AnswersSlowly(D2XXUnit& unit, AVRUtils& avr);

}  // namespace pw
