#pragma once
/// @file
/// The fastest clock a chip on the AVR header takes: its signature is read at rising baud values
/// until a value no longer reads it the same several times in a row; the programmer then works
/// at half the fastest value that did, for margin (the SCK phase a chip follows depends on its
/// CPU clock, which the program does not know).

#include <array>
#include <cstdint>
#include <optional>

#include "avr/AvrUtils.h"
#include "link/D2xxUnit.h"

namespace pw {

/// The baud values tried, slowest first. From 1200 baud, SCK phases of 26 µs suit a chip on its
/// 128 kHz oscillator; the top is beyond what a 20 MHz chip follows.
inline constexpr std::array<std::int32_t, 17> kAutoBaudSteps{1200,   2400,   4800,   9600,   14400,  19200,
                                                             28800,  38400,  57600,  76800,  115200, 153600,
                                                             230400, 307200, 460800, 614400, 921600};
/// Signature reads that must agree at one baud value.
inline constexpr int kAutoBaudReads = 3;

struct AvrBaudChoice {
  /// The fastest baud value at which every read gave the signature.
  std::int32_t Fastest = 0;
  /// Half of it: the value to work at.
  std::int32_t Working = 0;
};

/// Climbs kAutoBaudSteps on the open programmer. At each value the chip leaves programming mode
/// (RESET released) and enters it afresh, so that bytes garbled by a clock too fast for it are
/// never taken as instructions; then its signature is read kAutoBaudReads times. The climb ends
/// at the first value where the chip does not enter or a read differs from the first value's
/// signature (or reads as no chip). Leaves the programmer at the working value, or at the value
/// it had when even the slowest value read nothing (nothing is returned then).
std::optional<AvrBaudChoice> ProbeAvrBaud(D2XXUnit& unit, AVRUtils& avr);

/// The baud value of a second look at a chip that did not answer: the slowest step.
inline constexpr std::int32_t kAvrSlowLookBaud = kAutoBaudSteps.front();

/// Whether the chip, entering afresh, echoes Programming Enable at kAvrSlowLookBaud; tried only
/// when the programmer works faster than that, whose baud value is restored afterwards.
bool AnswersSlowly(D2XXUnit& unit, AVRUtils& avr);

}  // namespace pw
