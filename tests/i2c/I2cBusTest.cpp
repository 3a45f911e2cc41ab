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

  Samples Laid() { return Samples(unit.OutSamples.begin(), unit.OutSamples.begin() + bus.Run().Length()); }
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
  EXPECT_EQ(bus.I2cPutByte(0xA0), 0u);
  EXPECT_EQ(Laid(), Cat({kOne, kZero, kOne, Repeat(kZero, 5), kOne}));
  EXPECT_EQ(bus.I2cPutByte(0xFF), 27u);
  bus.Clear();
  bus.I2cPutByte(0xFF);
  EXPECT_EQ(Laid(), Repeat(kOne, 9));
}

TEST_F(I2cBusTest, ReadBytesEndWithTheMastersAcknowledgeOrNot) {
  bus.I2cPutReadByte(true);
  EXPECT_EQ(Laid(), Cat({Repeat(kOne, 8), kZero}));
  bus.Clear();
  bus.I2cPutReadByte(false);
  EXPECT_EQ(Laid(), Repeat(kOne, 9));
}

TEST_F(I2cBusTest, StartAfterAnAcknowledgeClockIsARepeatedStart) {
  bus.I2cPutStart();
  bus.I2cPutStop();
  // No sample moves SCL and SDA together: the board may move either first.
  EXPECT_EQ(Laid(), (Samples{0x80, 0x88, 0x08, 0x08, 0x88, 0x80}));
  EXPECT_EQ(bus.Run().Length(), 2u * I2C_eeprom::kConditionSamples);
  bus.Clear();
  bus.I2cPutByte(0xFF);
  bus.I2cPutStart();
  const Samples laid = Laid();
  EXPECT_EQ(Samples(laid.end() - 5, laid.end()), (Samples{0x80, 0x00, 0x80, 0x88, 0x08}));
}

TEST_F(I2cBusTest, GetByteReadsOnlyTheThirdSampleOfEachBit) {
  std::fill(unit.InSamples.begin(), unit.InSamples.begin() + 400, 0x00);
  for (int k = 0; k < 8; ++k) unit.InSamples[112 + 27 + 2 + 3 * k] = 0x02;
  EXPECT_EQ(bus.I2cGetByte(112 + 27), 0xFF);
  EXPECT_EQ(bus.I2cGetByte(112), 0x00);
  std::fill(unit.InSamples.begin(), unit.InSamples.begin() + 400, 0xFD);  // every other bit set, D1 clear
  EXPECT_EQ(bus.I2cGetByte(85 + 81), 0x00);
  unit.InSamples[85 + 2 + 3 * 7] = 0x02;
  EXPECT_EQ(bus.I2cGetByte(85), 0x01);
}

}  // namespace
}  // namespace pw
