#pragma once
/// @file
/// A chip that stays busy for a while after each power-up, as a chip still finishing its own
/// start-up or a write cycle the programmer did not see begin (bench key BusyMs).

#include "sim/SimTime.h"

namespace pw::sim {

class SimPowerUpBusy {
 public:
  /// How long the chip stays busy after each power-up; 0: not at all.
  void SetLength(SimTime length) { length_ = length; }
  /// Every step of the chip: the first one after a power-off is the power-up.
  void Step(const SimEnvironment& env) {
    if (powered_) return;
    powered_ = true;
    until_ = env.Now + length_;
  }
  void PowerOff() { powered_ = false; }
  bool Busy(const SimEnvironment& env) const { return powered_ && env.Now < until_; }

 private:
  SimTime length_ = 0;
  SimTime until_ = 0;
  bool powered_ = false;
};

}  // namespace pw::sim
