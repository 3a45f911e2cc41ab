#pragma once
/// @file
/// Faults of the data lines D0..D7 themselves, between the FT232R and the headers: a line stuck
/// at a level, two lines shorted together. They hold for the FT232R's read-back and for every
/// chip on the board alike, since both see the same wire.

#include <cstdint>
#include <utility>
#include <vector>

#include "ini/IniFile.h"

namespace pw::sim {

struct SimLineFaults {
  /// Lines (bit n = Dn) that read 0 whatever drives them.
  std::uint8_t StuckLow = 0;
  /// Lines that read 1 whatever drives them.
  std::uint8_t StuckHigh = 0;
  /// Pairs of lines (bits) shorted together: both carry the AND of what drives them.
  std::vector<std::pair<std::uint8_t, std::uint8_t>> Shorts;

  /// The levels the wires carry when lines is what drives them (outputs, pull-ups, chips).
  std::uint8_t Apply(std::uint8_t lines) const;
};

/// Reads [Faults] StuckLow=, StuckHigh= (lists of D0..D7) and Short= (pairs Dm-Dn); a line
/// name or pair that is none of these is refused with one line naming key and value.
SimLineFaults ReadLineFaults(const IniFile& ini);

}  // namespace pw::sim
