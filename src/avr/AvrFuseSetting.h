#pragma once
/// @file
/// The fuse and lock bytes a fuse write sends, and the fuse panel as plain data: which boxes are
/// ticked and which lock items are chosen, in both directions.

#include <array>
#include <cstdint>

#include "avr/AvrChipDescription.h"
#include "avr/AvrUtils.h"

namespace pw {

struct AvrFuseSetting {
  AvrFuseBytes Fuses;
  std::uint8_t Lock = 0xFF;
};

struct AvrFusePanelState {
  /// Ticks[n]: the box of fuse bit n (low fuse bits 0..7, then high, then extended) is ticked.
  std::array<bool, kFuseBitCount> Ticks{};
  /// The items chosen in AvrLock1 (boot lock 0), AvrLock2 (boot lock 1) and AvrLock3 (the lock
  /// mode); -1: none.
  int Lock1 = -1;
  int Lock2 = -1;
  int Lock3 = -1;
};

/// The panel showing setting: a box ticked for each bit that reads 1, the lock items of its fields.
AvrFusePanelState PanelShowing(const AvrFuseSetting& setting);

/// What the panel writes: each fuse bit as its box shows it (ticked: 1); the lock combos give the
/// lock fields, over lock when no lock mode is chosen (bits 7 and 6 of the lock byte: 1).
AvrFuseSetting PanelWrites(const AvrFusePanelState& panel, std::uint8_t lock);

}  // namespace pw
