#pragma once
/// @file
/// The I2C bus of a serial EEPROM as pin samples. The primitives lay samples on a SampleRun
/// (link/SampleRun.h) at the caller's running position, so a run too long for the sample
/// buffers is refused before it overruns them; nothing moves until the run is exchanged.
/// Every bit is clock low, clock high, clock low with SDA unchanged, so SDA only changes while
/// SCL is low, except in start and stop conditions.

#include <cstdint>
#include <string>

#include "link/D2xxUnit.h"
#include "link/SampleRun.h"

namespace pw {

class I2C_eeprom {
 public:
  /// Samples one laid byte (8 bits and the acknowledge clock) takes.
  static constexpr std::int32_t kByteSamples = 27;
  /// Samples of a start or a stop condition.
  static constexpr std::int32_t kConditionSamples = 2;

  explicit I2C_eeprom(D2XXUnit& unit) : run_(unit) {}

  /// SDA falls while SCL is high.
  void I2cPutStart(std::int32_t& position);
  /// SDA rises while SCL is high.
  void I2cPutStop(std::int32_t& position);
  /// Eight data bits, most significant first, then a clock with SDA released for the acknowledge.
  void I2cPutByte(std::int32_t& position, std::uint8_t value);
  /// Eight clocks with SDA released, then the master's acknowledge ("YES") or not-acknowledge.
  void I2cPutReadByte(std::int32_t& position, const std::string& acknowledge);
  /// The byte read in the run: bit k from InSamples[first + 27 × index + 3k], most significant first.
  std::uint8_t I2cGetByte(std::int32_t first, std::int32_t index) const;
  /// Whether the slave acknowledged the byte laid at byteStart: SDA low during its ninth clock.
  bool Acknowledged(std::int32_t byteStart) const;
  /// Writes the run laid up to position length and reads it back.
  void Exchange(std::int32_t length);

 private:
  void PutBit(std::int32_t& position, bool pullLow);
  void Put(std::int32_t& position, std::uint8_t sample);

  SampleRun run_;
};

}  // namespace pw
