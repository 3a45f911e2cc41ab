#include "i2c/I2cBus.h"

#include "d2xx/Wiring.h"

namespace pw {

using wiring::i2c::Scl;
using wiring::i2c::SdaIn;
using wiring::i2c::SdaOut;

void I2C_eeprom::Put(std::int32_t& position, std::uint8_t sample) {
  // The caller keeps the running position; the run follows it (a negative one is refused too).
  run_.Resume(static_cast<std::uint32_t>(position));
  run_.Put(sample);
  position = static_cast<std::int32_t>(run_.Length());
}

void I2C_eeprom::PutBit(std::int32_t& position, bool pullLow) {
  const std::uint8_t sda = pullLow ? SdaOut : 0;
  Put(position, sda);
  Put(position, static_cast<std::uint8_t>(Scl | sda));
  Put(position, sda);
}

void I2C_eeprom::I2cPutStart(std::int32_t& position) {
  Put(position, Scl);
  Put(position, Scl | SdaOut);
}

void I2C_eeprom::I2cPutStop(std::int32_t& position) {
  Put(position, Scl | SdaOut);
  Put(position, Scl);
}

void I2C_eeprom::I2cPutByte(std::int32_t& position, std::uint8_t value) {
  for (int k = 0; k < 8; ++k) PutBit(position, ((value >> (7 - k)) & 1) == 0);
  PutBit(position, false);  // released: the slave answers
}

void I2C_eeprom::I2cPutReadByte(std::int32_t& position, const std::string& acknowledge) {
  for (int k = 0; k < 8; ++k) PutBit(position, false);
  PutBit(position, acknowledge == "YES");
}

std::uint8_t I2C_eeprom::I2cGetByte(std::int32_t first, std::int32_t index) const {
  unsigned value = 0;
  for (int k = 0; k < 8; ++k) {
    const std::uint8_t s = run_.In(static_cast<std::uint32_t>(first + kByteSamples * index + 3 * k));
    value = value * 2 + ((s & SdaIn) ? 1 : 0);
  }
  return static_cast<std::uint8_t>(value);
}

bool I2C_eeprom::Acknowledged(std::int32_t byteStart) const {
  // The entry paired with the ninth clock's last sample shows SDA as the clock-high sample left it.
  return (run_.In(static_cast<std::uint32_t>(byteStart + kByteSamples - 1)) & SdaIn) == 0;
}

void I2C_eeprom::Exchange(std::int32_t length) {
  run_.Resume(static_cast<std::uint32_t>(length));
  run_.Exchange();
}

}  // namespace pw
