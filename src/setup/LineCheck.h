#pragma once
/// @file
/// The check of the programmer's data lines D0..D7 that the self-test runs: each line a
/// protocol mode drives is driven low and high within that mode, the others at the mode's idle
/// levels, and what every line reads back tells a line that follows from one stuck at a level
/// or shorted to another.

#include <array>
#include <cstdint>

#include "link/D2xxUnit.h"

namespace pw {

/// What the check found of each line (bit n = Dn).
struct LineVerdicts {
  std::uint8_t StuckLow = 0;
  std::uint8_t StuckHigh = 0;
  /// For each line, the lines it is shorted to.
  std::array<std::uint8_t, 8> ShortedTo{};

  bool AllWell() const;
};

/// Drives the patterns in each protocol mode on the open programmer and judges the read-back.
/// Leaves the programmer with every pin an input.
LineVerdicts CheckLines(D2XXUnit& unit);

}  // namespace pw
