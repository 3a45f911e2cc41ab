#include <gtest/gtest.h>

#include "i2c/I2cAddressing.h"

namespace pw {
namespace {

TEST(I2cAddressing, EachProtocolSendsItsDeviceByteAndAddressBytes) {
  struct Case {
    std::uint8_t Protocol;
    std::uint32_t Address;
    std::uint8_t Device;
    std::vector<std::uint8_t> Bytes;
    std::uint32_t Reach;
    std::uint32_t Block;
  };
  const Case cases[] = {
      {1, 0x5F8, 0xAA, {0xF8}, 2048, 2048},  // bits 8-10 in device-byte bits 1-3
      {1, 0x7FF, 0xAE, {0xFF}, 2048, 2048},
      {2, 0x1238, 0xA0, {0x12, 0x38}, 65536, 65536},
      {3, 0x1ABCD, 0xA2, {0xAB, 0xCD}, 131072, 65536},  // bit 16 in bit 1
      {4, 0x2ABCD, 0xA4, {0xAB, 0xCD}, 262144, 65536},  // bits 16-17 in bits 1-2
      {4, 0x3FFFF, 0xA6, {0xFF, 0xFF}, 262144, 65536},
      {5, 0x1ABCD, 0xA8, {0xAB, 0xCD}, 131072, 65536},  // bit 16 in bit 3, bits 1-2 stay A0 A1
      {5, 0x0ABCD, 0xA0, {0xAB, 0xCD}, 131072, 65536},
      {7, 0x1F8, 0xA0, {0xF8}, 256, 256},  // any other: one byte, no block bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "Protocol " << int{c.Protocol} << ", address " << c.Address);
    const I2cAddressing a{c.Protocol};
    EXPECT_EQ(a.DeviceByte(c.Address, false), c.Device);
    EXPECT_EQ(a.DeviceByte(c.Address, true), c.Device | 1);
    EXPECT_EQ(a.AddressBytes(c.Address), c.Bytes);
    EXPECT_EQ(a.Reach(), c.Reach);
    EXPECT_EQ(a.Block(), c.Block);
    EXPECT_EQ(I2cAddressing::Known(c.Protocol), c.Protocol != 7);
  }
  EXPECT_FALSE(I2cAddressing::Known(0));
}

}  // namespace
}  // namespace pw
