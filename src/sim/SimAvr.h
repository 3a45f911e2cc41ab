#pragma once
/// @file
/// A simulated AVR on the AVR ISP header, modelled on the datasheets' serial programming: with
/// RESET held low it listens on its SPI slave; Programming Enable (AC 53 xx xx) in step with the
/// bytes counted since RESET went low enters programming mode, and only then are the other
/// instructions carried out. Every byte shifted out echoes the byte before it, except the fourth
/// byte of a read, which carries the data. Out of programming mode MISO floats, except for the
/// echo of a Programming Enable framed in step (FF AC 53 00 the first time), so a slipped bit
/// shows as a missing 0x53; MISO is taken and let go only while SCK is low. The
/// chip never finds its step again by itself: RESET has to be pulsed high. Under datasheet
/// timing a Programming Enable less than 20 ms after RESET went low is not taken.
///
/// The fuses act as on silicon once the chip starts (RESET released, or power applied):
/// RSTDISBL or DWEN programmed takes the RESET pin away from serial programming for good; the
/// clock setting gives the CPU clock, none at all for an external clock or crystal the board
/// does not feed, and an SCK phase of 2 CPU clocks or less (3 from 12 MHz) garbles the bit.

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
  explicit SimAvr(const SimAvrPart& part);

  std::optional<bool> Step(bool reset, bool sck, bool mosi, const SimEnvironment& env) override;
  void PowerOff() override;
  std::vector<SimMemory> Memories() override;

  SimAvrCore& Core() { return core_; }
  /// The chip stops answering for good once it has taken this many SPI bytes (a chip that lost
  /// contact mid-operation): MISO floats and nothing more is carried out.
  void FallSilentAfter(std::uint64_t bytes) { silentAfter_ = bytes; }
  /// Every signature byte read answers its own address (00 01 02), as a damaged or wrongly
  /// clocked chip does; the rest of the chip works.
  void DamageSignature() { damagedSignature_ = true; }
  bool ProgrammingEnabled() const { return enabled_; }
  /// What the board feeds an external clock or crystal setting (Hz; 0: nothing). By default a
  /// part whose factory fuses select one gets 16 MHz, every other part nothing.
  void SetBoardClock(std::uint32_t hz) { boardClockHz_ = hz; }
  /// The CPU clock since the chip last started (Hz; 0: it does not run).
  std::uint32_t CpuClockHz() const { return cpuHz_; }

 private:
  void Start();
  void EnterReset(const SimEnvironment& env);
  bool SettledSinceReset(const SimEnvironment& env) const;
  /// Whether the chip drives MISO from the next falling SCK edge on.
  bool Answering() const;
  /// Notes an SCK edge; whether the phase it ends was too short for the CPU clock.
  bool SckTooFast(bool sck, const SimEnvironment& env);
  void OnByte(std::uint8_t byte, const SimEnvironment& env);
  /// The data a read instruction shifts out during its fourth byte, once its first three are in.
  std::optional<std::uint8_t> ReadData(const SimEnvironment& env) const;
  void Execute(const SimEnvironment& env);
  /// The fourth byte of an in-step Programming Enable.
  void EnableProgramming();
  void ExecuteAc(const SimEnvironment& env);
  /// The address bytes of the frame; for flash reads and page writes, with the extended address
  /// byte above them.
  std::uint32_t Address() const;
  std::uint32_t FlashAddress() const;

  SimAvrCore core_;
  SimAvrSpi spi_;
  bool heldInReset_ = false;
  bool enabled_ = false;
  /// The first two bytes of the frame were AC 53: Programming Enable is under way.
  bool entering_ = false;
  /// The chip drives MISO (changed only while SCK is low).
  bool driving_ = false;
  std::array<std::uint8_t, 4> frame_{};
  int count_ = 0;
  std::uint8_t extendedAddress_ = 0;
  std::uint64_t bytesTaken_ = 0;
  SimTime resetAt_ = 0;
  bool started_ = false;
  bool resetPinTaken_ = false;
  std::uint32_t boardClockHz_ = 0;
  std::uint32_t cpuHz_ = 0;
  bool lastSck_ = false;
  SimTime lastEdgeAt_ = 0;
  bool garbled_ = false;
  std::optional<std::uint64_t> silentAfter_;
  bool damagedSignature_ = false;
};

}  // namespace pw::sim
