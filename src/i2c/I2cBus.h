#pragma once
/// @file
/// The I2C bus of a serial EEPROM as pin samples. The primitives lay samples at the end of the
/// bus's SampleRun (link/SampleRun.h), so a run too long for the sample buffers is refused
/// before it overruns them; nothing moves until the run is exchanged. A laid byte returns its
/// mark, the index of its first sample, from which its answer is read after the exchange.
/// Every bit is clock low, clock high, clock low with SDA unchanged, so SDA only changes while
/// SCL is low, except in start and stop conditions.

#include <cstdint>

#include "link/D2xxUnit.h"
#include "link/SampleRun.h"

namespace pw {

class I2C_eeprom {
 public:
  /// Samples one bit takes: one SCL period.
  static constexpr std::int32_t kBitSamples = 3;
  /// Samples one laid byte (8 bits and the acknowledge clock) takes.
  static constexpr std::int32_t kByteSamples = 9 * kBitSamples;
  /// Samples of a start or a stop condition.
  static constexpr std::int32_t kConditionSamples = 3;

  explicit I2C_eeprom(D2XXUnit& unit) : run_(unit) {}

  /// Starts a new, empty run.
  void Clear() { run_.Clear(); }
  /// The run the primitives lay on, for patterns of one's own.
  SampleRun& Run() { return run_; }

  /// SDA falls while SCL is high, then SCL falls with SDA still low. No sample changes both lines,
  /// so the condition holds whichever of them the board moves first.
  void I2cPutStart();
  /// SDA low while SCL is low, SCL rises, then SDA rises while SCL is high; likewise one line per sample.
  void I2cPutStop();
  /// The bus clear a slave stuck in the middle of a byte needs: nine clocks with SDA released
  /// (a slave sending gets through its byte and sees the master's not-acknowledge), a stop, and
  /// one idle sample whose entry shows SDA after the stop.
  void I2cPutBusClear();
  /// Whether SDA was high in the entry at index: the line as the sample before it left it.
  bool SdaHigh(std::uint32_t index) const;
  /// Eight data bits, most significant first, then a clock with SDA released for the
  /// acknowledge; returns the byte's mark.
  std::uint32_t I2cPutByte(std::uint8_t value);
  /// Eight clocks with SDA released, then the master's acknowledge (acknowledge: SDA pulled low)
  /// or not-acknowledge; returns the byte's mark.
  std::uint32_t I2cPutReadByte(bool acknowledge);
  /// The byte read at mark: bit k from the entry paired with bit k's third sample (SDA as the
  /// clock-high sample left it), most significant first.
  std::uint8_t I2cGetByte(std::uint32_t mark) const;
  /// Whether the slave acknowledged the byte laid at mark: SDA low during its ninth clock.
  bool Acknowledged(std::uint32_t mark) const;
  /// Writes the run as laid and reads it back; the run stays laid, so it can be exchanged again.
  void Exchange() { run_.Exchange(); }

 private:
  void PutBit(bool pullLow);

  SampleRun run_;
};

}  // namespace pw
