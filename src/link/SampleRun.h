#pragma once
/// @file
/// The sample-run engine every protocol lays its pin patterns with. A run is laid into the D2XX
/// unit's OutSamples from index 0, exchanged in one write and one read of the same length, and
/// its replies are read back from InSamples by index (entry i is the pin state the programmer
/// sampled for sample i). The run refuses a sample the buffers cannot hold before anything is
/// written past them or sent. A unit has one pair of buffers: lay one run at a time on it.

#include <cstdint>

#include "link/D2xxUnit.h"

namespace pw {

class SampleRun {
 public:
  /// The most samples a run holds: one exchange's worth.
  static constexpr std::uint32_t kCapacity = D2XXUnit::kSampleCapacity;

  explicit SampleRun(D2XXUnit& unit) : unit_(unit) {}

  /// Samples laid so far; the next one goes at this index.
  std::uint32_t Length() const { return length_; }
  /// Whether more samples still fit after the ones laid.
  bool Fits(std::uint64_t more) const { return length_ + more <= kCapacity; }
  /// Starts a new, empty run.
  void Clear() { length_ = 0; }

  /// Lays sample at the end of the run. A run already at capacity refuses it with an error and
  /// lays nothing.
  void Put(std::uint8_t sample);

  /// Writes the run and reads the same number of samples back; raises when the driver fails or
  /// fewer come back. The run stays laid, so it can be exchanged again.
  void Exchange();

  /// The pin state read back for sample index. An index past the buffers is refused.
  std::uint8_t In(std::uint32_t index) const;

 private:
  D2XXUnit& unit_;
  std::uint32_t length_ = 0;
};

}  // namespace pw
