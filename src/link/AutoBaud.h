#pragma once
/// @file
/// The bounds every family's automatic clock ("авто", --baud auto) keeps: no faster than
/// full-speed USB carries the samples, no faster than the chip's datasheet allows, and never
/// slower than a value the chip was seen to take.

#include <algorithm>
#include <cstdint>

#include "d2xx/UsbLimit.h"
#include "link/D2xxUnit.h"

namespace pw {

/// The fastest baud value whose samples full-speed USB carries. Beyond it an exchange takes no
/// less time on the wire: only each clock edge gets shorter, which a chip may not follow.
inline constexpr std::int32_t kUsbLimitBaud =
    static_cast<std::int32_t>(d2xx::kUsbMostSamplesPerSecond / d2xx::kSamplesPerBaud);

/// The baud value speed.txt ships with: a chip known to take it is never worked slower.
inline constexpr std::int32_t kShippedBaud = 19200;

/// The fastest baud value at which a bus clock of samplesPerPeriod samples a period stays at or
/// below maxHz, and at or below kUsbLimitBaud.
constexpr std::int32_t BaudForClock(std::int64_t maxHz, std::int64_t samplesPerPeriod) {
  return static_cast<std::int32_t>(std::min<std::int64_t>(
      kUsbLimitBaud, maxHz * samplesPerPeriod / static_cast<std::int64_t>(d2xx::kSamplesPerBaud)));
}

/// Sets the open programmer's clock to baud.
inline void SetLinkBaud(D2XXUnit& unit, std::int32_t baud) {
  unit.LinkBaud = baud;
  unit.FtSetBaudRate();
}

}  // namespace pw
