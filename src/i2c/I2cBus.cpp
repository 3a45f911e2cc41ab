#include "i2c/I2cBus.h"

#include "d2xx/Wiring.h"

namespace pw {

using wiring::i2c::Scl;
using wiring::i2c::SdaIn;
using wiring::i2c::SdaOut;

void I2C_eeprom::PutBit(bool pullLow) {
  const std::uint8_t sda = pullLow ? SdaOut : 0;
  run_.Put(sda);
  run_.Put(static_cast<std::uint8_t>(Scl | sda));
  run_.Put(sda);
}

void I2C_eeprom::I2cPutStart() {
  run_.Put(Scl);
  run_.Put(Scl | SdaOut);
  // SCL falls while SDA is still held: a first data bit of 1 must not release SDA in the
  // sample SCL falls in, or a board whose SDA is quicker than SCL shows a stop.
  run_.Put(SdaOut);
}

void I2C_eeprom::I2cPutStop() {
  // SDA goes low while SCL is still low: pulled low in the sample SCL rises in, it would be a
  // start on a board whose SDA lags SCL, and the stop after it would abort the write.
  run_.Put(SdaOut);
  run_.Put(Scl | SdaOut);
  run_.Put(Scl);
}

void I2C_eeprom::I2cPutBusClear() {
  for (int k = 0; k < 9; ++k) PutBit(false);
  I2cPutStop();
  run_.Put(Scl);
}

bool I2C_eeprom::SdaHigh(std::uint32_t index) const { return (run_.In(index) & SdaIn) != 0; }

std::uint32_t I2C_eeprom::I2cPutByte(std::uint8_t value) {
  const std::uint32_t mark = run_.Length();
  for (int k = 0; k < 8; ++k) PutBit(((value >> (7 - k)) & 1) == 0);
  PutBit(false);  // released: the slave answers
  return mark;
}

std::uint32_t I2C_eeprom::I2cPutReadByte(bool acknowledge) {
  const std::uint32_t mark = run_.Length();
  for (int k = 0; k < 8; ++k) PutBit(false);
  PutBit(acknowledge);
  return mark;
}

std::uint8_t I2C_eeprom::I2cGetByte(std::uint32_t mark) const {
  unsigned value = 0;
  for (std::uint32_t k = 0; k < 8; ++k) {
    const std::uint8_t s = run_.In(mark + 2 + 3 * k);
    value = value * 2 + ((s & SdaIn) ? 1 : 0);
  }
  return static_cast<std::uint8_t>(value);
}

bool I2C_eeprom::Acknowledged(std::uint32_t mark) const {
  // The entry paired with the ninth clock's last sample shows SDA as the clock-high sample left it.
  return !SdaHigh(mark + kByteSamples - 1);
}

}  // namespace pw
