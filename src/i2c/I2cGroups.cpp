#include "i2c/I2cGroups.h"

namespace pw {

std::int32_t I2cGroups::LayAddressPhase(std::int32_t& position, std::uint32_t address) {
  bus_.I2cPutStart(position);
  const std::int32_t deviceAt = position;
  bus_.I2cPutByte(position, addressing_.DeviceByte(address, false));
  for (std::uint8_t b : addressing_.AddressBytes(address)) bus_.I2cPutByte(position, b);
  return deviceAt;
}

bool I2cGroups::ExchangeUntilAnswered(std::int32_t length, std::int32_t deviceAt) {
  for (int waited = 0;; ++waited) {
    bus_.Exchange(length);
    if (bus_.Acknowledged(deviceAt)) return true;
    if (waited == kPollMs) return false;
    unit_.Wait(1);
  }
}

bool I2cGroups::AllAcknowledged(std::int32_t from, std::int32_t count) const {
  for (std::int32_t k = 0; k < count; ++k) {
    if (!bus_.Acknowledged(from + k * I2C_eeprom::kByteSamples)) return false;
  }
  return true;
}

I2cGroupResult I2cGroups::Write(std::uint32_t address, std::span<const std::uint8_t> data) {
  std::int32_t position = 0;
  const std::int32_t deviceAt = LayAddressPhase(position, address);
  for (std::uint8_t b : data) bus_.I2cPutByte(position, b);
  bus_.I2cPutStop(position);
  if (!ExchangeUntilAnswered(position, deviceAt)) return I2cGroupResult::NoAnswer;
  const auto bytes = static_cast<std::int32_t>(addressing_.AddressBytes(address).size() + data.size());
  return AllAcknowledged(deviceAt + I2C_eeprom::kByteSamples, bytes) ? I2cGroupResult::Done : I2cGroupResult::Refused;
}

I2cGroupResult I2cGroups::Read(std::uint32_t address, std::span<std::uint8_t> out) {
  std::int32_t position = 0;
  const std::int32_t deviceAt = LayAddressPhase(position, address);
  const auto addressBytes = static_cast<std::int32_t>(addressing_.AddressBytes(address).size());
  bus_.I2cPutStart(position);
  const std::int32_t readDeviceAt = position;
  bus_.I2cPutByte(position, addressing_.DeviceByte(address, true));
  // Each bit's value is in the entry paired with its third sample: SDA as the clock-high sample left it.
  const std::int32_t first = position + 2;
  for (std::size_t i = 0; i < out.size(); ++i) bus_.I2cPutReadByte(position, i + 1 < out.size() ? "YES" : "NO");
  bus_.I2cPutStop(position);
  if (!ExchangeUntilAnswered(position, deviceAt)) return I2cGroupResult::NoAnswer;
  if (!AllAcknowledged(deviceAt + I2C_eeprom::kByteSamples, addressBytes) || !bus_.Acknowledged(readDeviceAt)) {
    return I2cGroupResult::Refused;
  }
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = bus_.I2cGetByte(first, static_cast<std::int32_t>(i));
  return I2cGroupResult::Done;
}

}  // namespace pw
