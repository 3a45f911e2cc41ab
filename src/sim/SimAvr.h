#pragma once
/// @file
/// A simulated AVR on the AVR ISP header, modelled on the datasheets' serial programming: with
/// RESET held low it listens on its SPI slave; Programming Enable (AC 53 xx xx) in step with the
/// bytes counted since RESET went low enters programming mode, and only then are the other
/// instructions carried out. Every byte shifted out echoes the byte before it, except the fourth
/// byte of a read, which carries the data. Out of programming mode MISO floats, except for the
/// echo of a Programming Enable framed in step, so a slipped bit shows as a missing 0x53; the
/// chip never finds its step again by itself: RESET has to be pulsed high.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/SimAvrCore.h"
#include "sim/SimAvrParts.h"
#include "sim/SimAvrSpi.h"
#include "sim/SimChips.h"

namespace pw::sim {

class SimAvr : public SimAvrChip {
 public:
  explicit SimAvr(const SimAvrPart& part) : core_(part) {}

  std::optional<bool> Step(bool reset, bool sck, bool mosi, const SimEnvironment& env) override;
  void PowerOff() override;
  std::vector<SimMemory> Memories() override;

  SimAvrCore& Core() { return core_; }
  /// The chip stops answering for good once it has taken this many SPI bytes (a chip that lost
  /// contact mid-operation): MISO floats and nothing more is carried out.
  void FallSilentAfter(std::uint64_t bytes) { silentAfter_ = bytes; }
  bool ProgrammingEnabled() const { return enabled_; }

 private:
  void EnterReset();
  void OnByte(std::uint8_t byte, const SimEnvironment& env);
  /// The data a read instruction shifts out during its fourth byte, once its first three are in.
  std::optional<std::uint8_t> ReadData(const SimEnvironment& env) const;
  void Execute(const SimEnvironment& env);
  void ExecuteAc(const SimEnvironment& env);
  std::uint32_t Address() const;

  SimAvrCore core_;
  SimAvrSpi spi_;
  bool heldInReset_ = false;
  bool enabled_ = false;
  /// The first two bytes of the frame were AC 53: Programming Enable is under way.
  bool entering_ = false;
  std::array<std::uint8_t, 4> frame_{};
  int count_ = 0;
  std::uint8_t extendedAddress_ = 0;
  std::uint64_t bytesTaken_ = 0;
  std::optional<std::uint64_t> silentAfter_;
};

}  // namespace pw::sim
