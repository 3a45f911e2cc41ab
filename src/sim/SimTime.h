#pragma once
/// @file
/// Virtual time of the simulated programmer. Exchanges and waits advance it; nothing sleeps
/// unless the bench asks for real time (SimTiming::RealTime).

#include <cstdint>

namespace pw::sim {

/// Picoseconds since the virtual programmer was made.
using SimTime = std::uint64_t;

inline constexpr SimTime kPicosPerMicro = 1'000'000;
inline constexpr SimTime kPicosPerMilli = 1'000'000'000;

/// How long chips are busy after a write.
enum class TimingModel {
  /// Write cycles end at once.
  Lenient,
  /// Chips are busy for their datasheet write-cycle times and behave as the datasheet says meanwhile.
  Datasheet,
};

/// What a chip knows of the world besides its pins.
struct SimEnvironment {
  SimTime Now = 0;
  TimingModel Timing = TimingModel::Lenient;
};

}  // namespace pw::sim
