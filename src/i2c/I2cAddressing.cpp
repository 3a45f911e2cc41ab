#include "i2c/I2cAddressing.h"

namespace pw {

namespace {
constexpr std::uint8_t kDeviceWrite = 0xA0;
constexpr std::uint8_t kDeviceRead = 0xA1;

/// What a scheme sends: address bytes, then which device-byte bits carry the address bits above them.
struct Scheme {
  int AddressBytes;
  int BlockShift;
  int BlockBits;
};

Scheme SchemeOf(std::uint8_t protocol) {
  switch (protocol) {
    case 1:
      return {1, 1, 3};
    case 2:
      return {2, 1, 0};
    case 3:
      return {2, 1, 1};
    case 4:
      return {2, 1, 2};
    case 5:
      return {2, 3, 1};
    default:
      return {1, 1, 0};
  }
}

}  // namespace

std::uint8_t I2cAddressing::DeviceByte(std::uint32_t address, bool read) const {
  const Scheme s = SchemeOf(Protocol);
  const std::uint32_t block = (address >> (8 * s.AddressBytes)) & ((1u << s.BlockBits) - 1);
  return static_cast<std::uint8_t>((read ? kDeviceRead : kDeviceWrite) | (block << s.BlockShift));
}

std::vector<std::uint8_t> I2cAddressing::AddressBytes(std::uint32_t address) const {
  if (SchemeOf(Protocol).AddressBytes == 2)
    return {static_cast<std::uint8_t>((address / 256) % 256), static_cast<std::uint8_t>(address % 256)};
  return {static_cast<std::uint8_t>(address % 256)};
}

std::uint32_t I2cAddressing::Reach() const {
  const Scheme s = SchemeOf(Protocol);
  return 1u << (8 * s.AddressBytes + s.BlockBits);
}

std::uint32_t I2cAddressing::Block() const {
  const Scheme s = SchemeOf(Protocol);
  return s.AddressBytes == 2 ? 65536u : Reach();
}

}  // namespace pw
