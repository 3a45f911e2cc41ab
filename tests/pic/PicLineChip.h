#pragma once
/// @file
/// A simulated chip on the PIC header for the ICSP layers' tests: it counts the samples it sees
/// and pulls PGD low only at the sample numbers a test names.

#include <algorithm>
#include <optional>
#include <vector>

#include "sim/SimChips.h"

namespace pw::test {

struct PicLineChip : sim::SimPicChip {
  std::vector<int> LowAt;
  int Count = 0;
  std::optional<bool> Step(bool, bool, bool, bool, const sim::SimEnvironment&) override {
    const int n = Count++;
    return std::find(LowAt.begin(), LowAt.end(), n) != LowAt.end() ? std::optional<bool>(false) : std::nullopt;
  }
  void PowerOff() override {}
  std::vector<sim::SimMemory> Memories() override { return {}; }
};

}  // namespace pw::test
