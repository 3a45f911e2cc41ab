#include <gtest/gtest.h>

#include "i2c/I2cBus.h"
#include "sim/SimFt232r.h"

namespace pw {
namespace {

using Samples = std::vector<std::uint8_t>;

struct I2cBusTest : ::testing::Test {
  sim::SimFt232r sim;
  D2XXUnit unit{sim};
  I2C_eeprom bus{unit};
  std::int32_t position = 0;

  Samples Laid() const { return Samples(unit.OutSamples.begin(), unit.OutSamples.begin() + position); }
};

Samples Repeat(const Samples& bit, int times) {
  Samples out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), bit.begin(), bit.end());
  return out;
}

const Samples kOne{0x00, 0x80, 0x00};
const Samples kZero{0x08, 0x88, 0x08};

Samples Cat(std::initializer_list<Samples> parts) {
  Samples out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST_F(I2cBusTest, AByteIsEightBitsMostSignificantFirstAndAReleasedAcknowledgeClock) {
  bus.I2cPutByte(position, 0xA0);
  EXPECT_EQ(position, 27);
  EXPECT_EQ(Laid(), Cat({kOne, kZero, kOne, Repeat(kZero, 5), kOne}));
  position = 0;
  bus.I2cPutByte(position, 0xFF);
  EXPECT_EQ(Laid(), Repeat(kOne, 9));
}

TEST_F(I2cBusTest, ReadBytesEndWithTheMastersAcknowledgeOrNot) {
  bus.I2cPutReadByte(position, "YES");
  EXPECT_EQ(Laid(), Cat({Repeat(kOne, 8), kZero}));
  for (const char* other : {"NO", "yes", ""}) {
    position = 0;
    bus.I2cPutReadByte(position, other);
    EXPECT_EQ(Laid(), Repeat(kOne, 9)) << other;
  }
}

TEST_F(I2cBusTest, StartAfterAnAcknowledgeClockIsARepeatedStart) {
  bus.I2cPutStart(position);
  bus.I2cPutStop(position);
  // No sample moves SCL and SDA together: the board may move either first.
  EXPECT_EQ(Laid(), (Samples{0x80, 0x88, 0x08, 0x08, 0x88, 0x80}));
  EXPECT_EQ(position, 2 * I2C_eeprom::kConditionSamples);
  position = 0;
  bus.I2cPutByte(position, 0xFF);
  bus.I2cPutStart(position);
  const Samples laid = Laid();
  EXPECT_EQ(Samples(laid.end() - 5, laid.end()), (Samples{0x80, 0x00, 0x80, 0x88, 0x08}));
}

TEST_F(I2cBusTest, GetByteReadsOnlyTheThirdSampleOfEachBit) {
  std::fill(unit.InSamples.begin(), unit.InSamples.begin() + 400, 0x00);
  for (int k = 0; k < 8; ++k) unit.InSamples[114 + 27 + 3 * k] = 0x02;
  EXPECT_EQ(bus.I2cGetByte(114, 1), 0xFF);
  EXPECT_EQ(bus.I2cGetByte(114, 0), 0x00);
  std::fill(unit.InSamples.begin(), unit.InSamples.begin() + 400, 0xFD);  // every other bit set, D1 clear
  EXPECT_EQ(bus.I2cGetByte(87, 3), 0x00);
  unit.InSamples[87 + 3 * 7] = 0x02;
  EXPECT_EQ(bus.I2cGetByte(87, 0), 0x01);
}

}  // namespace
}  // namespace pw
