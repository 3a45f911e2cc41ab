#include "i2c/I2cGroups.h"

namespace pw {
namespace {

constexpr std::int32_t kByte = I2C_eeprom::kByteSamples;
constexpr std::int32_t kCondition = I2C_eeprom::kConditionSamples;
constexpr auto kCapacity = static_cast<std::int32_t>(D2XXUnit::kSampleCapacity);

std::int32_t AddressBytes(const I2cAddressing& addressing) {
  return static_cast<std::int32_t>(addressing.AddressBytes(0).size());
}

}  // namespace

std::int32_t I2cGroups::MostReadBytes(const I2cAddressing& addressing) {
  // start, device byte, address, repeated start, device byte, the data, stop
  const std::int32_t frame = 3 * kCondition + (2 + AddressBytes(addressing)) * kByte;
  return (kCapacity - frame) / kByte;
}

std::int32_t I2cGroups::MostWriteBytes(const I2cAddressing& addressing) {
  const std::int32_t frame = 2 * kCondition + (1 + AddressBytes(addressing)) * kByte;
  return (kCapacity - frame) / kByte;
}

std::int32_t I2cGroups::LayAddressPhase(std::int32_t& position, std::uint32_t address) {
  bus_.I2cPutStart(position);
  const std::int32_t deviceAt = position;
  bus_.I2cPutByte(position, addressing_.DeviceByte(address, false));
  for (std::uint8_t b : addressing_.AddressBytes(address)) bus_.I2cPutByte(position, b);
  return deviceAt;
}

bool I2cGroups::AwaitWriteCycle(std::uint32_t address) {
  if (!writeCycle_) return true;
  writeCycle_ = false;
  // A stop right after the device byte starts no write: the poll changes nothing on the chip.
  std::int32_t length = 0;
  bus_.I2cPutStart(length);
  const std::int32_t deviceAt = length;
  bus_.I2cPutByte(length, addressing_.DeviceByte(address, false));
  bus_.I2cPutStop(length);
  return ExchangeUntilAnswered(length, deviceAt);
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
    if (!bus_.Acknowledged(from + k * kByte)) return false;
  }
  return true;
}

I2cGroupResult I2cGroups::Write(std::uint32_t address, std::span<const std::uint8_t> data) {
  if (!AwaitWriteCycle(address)) return I2cGroupResult::NoAnswer;
  std::int32_t position = 0;
  const std::int32_t deviceAt = LayAddressPhase(position, address);
  for (std::uint8_t b : data) bus_.I2cPutByte(position, b);
  bus_.I2cPutStop(position);
  if (!ExchangeUntilAnswered(position, deviceAt)) return I2cGroupResult::NoAnswer;
  writeCycle_ = true;
  const auto bytes = static_cast<std::int32_t>(addressing_.AddressBytes(address).size() + data.size());
  return AllAcknowledged(deviceAt + kByte, bytes) ? I2cGroupResult::Done : I2cGroupResult::Refused;
}

I2cGroupResult I2cGroups::Read(std::uint32_t address, std::span<std::uint8_t> out) {
  if (!AwaitWriteCycle(address)) return I2cGroupResult::NoAnswer;
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
  if (!AllAcknowledged(deviceAt + kByte, addressBytes) || !bus_.Acknowledged(readDeviceAt)) {
    return I2cGroupResult::Refused;
  }
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = bus_.I2cGetByte(first, static_cast<std::int32_t>(i));
  return I2cGroupResult::Done;
}

}  // namespace pw
