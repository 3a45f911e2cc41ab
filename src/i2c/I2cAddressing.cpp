#include "i2c/I2cAddressing.h"

namespace pw {

namespace {
constexpr std::uint8_t kDeviceWrite = 0xA0;
constexpr std::uint8_t kDeviceRead = 0xA1;
}  // namespace

std::uint8_t I2cAddressing::DeviceByte(std::uint32_t address, bool read) const {
  const std::uint8_t base = read ? kDeviceRead : kDeviceWrite;
  const std::uint32_t block = Protocol == 1 ? ((address / 256) % 8) * 2 : 0;
  return static_cast<std::uint8_t>(base + block);
}

std::vector<std::uint8_t> I2cAddressing::AddressBytes(std::uint32_t address) const {
  if (Protocol == 2)
    return {static_cast<std::uint8_t>((address / 256) % 256), static_cast<std::uint8_t>(address % 256)};
  return {static_cast<std::uint8_t>(address % 256)};
}

std::uint32_t I2cAddressing::Reach() const {
  if (Protocol == 1) return 2048;
  if (Protocol == 2) return 65536;
  return 256;
}

}  // namespace pw
