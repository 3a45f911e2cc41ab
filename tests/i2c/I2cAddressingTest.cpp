#include <gtest/gtest.h>

#include "i2c/I2cAddressing.h"

namespace pw {
namespace {

TEST(I2cAddressing, SmallPartsCarryAddressBits8To10InTheDeviceByte) {
  const I2cAddressing one{1};
  EXPECT_EQ(one.DeviceByte(0x5F8, false), 0xAA);
  EXPECT_EQ(one.DeviceByte(0x5F8, true), 0xAB);
  EXPECT_EQ(one.AddressBytes(0x5F8), (std::vector<std::uint8_t>{0xF8}));
  EXPECT_EQ(one.DeviceByte(0x7FF, false), 0xAE);
  EXPECT_EQ(one.Reach(), 2048u);
}

TEST(I2cAddressing, LargePartsSendTwoAddressBytesHighFirst) {
  const I2cAddressing two{2};
  EXPECT_EQ(two.DeviceByte(0x1238, false), 0xA0);
  EXPECT_EQ(two.DeviceByte(0x1238, true), 0xA1);
  EXPECT_EQ(two.AddressBytes(0x1238), (std::vector<std::uint8_t>{0x12, 0x38}));
  EXPECT_EQ(two.Reach(), 65536u);
}

TEST(I2cAddressing, AnyOtherSchemeSendsOneByteAndNoBlockBits) {
  const I2cAddressing other{7};
  EXPECT_EQ(other.DeviceByte(0x1F8, false), 0xA0);
  EXPECT_EQ(other.AddressBytes(0x1F8), (std::vector<std::uint8_t>{0xF8}));
  EXPECT_EQ(other.Reach(), 256u);
}

}  // namespace
}  // namespace pw
