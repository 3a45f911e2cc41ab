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

std::uint32_t I2cGroups::LayAddressPhase(std::uint32_t address) {
  bus_.Clear();
  bus_.I2cPutStart();
  const std::uint32_t device = bus_.I2cPutByte(addressing_.DeviceByte(address, false));
  for (std::uint8_t b : addressing_.AddressBytes(address)) bus_.I2cPutByte(b);
  return device;
}

bool I2cGroups::AwaitWriteCycle(std::uint32_t address) {
  if (!writeCycle_) return true;
  writeCycle_ = false;
  // A stop right after the device byte starts no write: the poll changes nothing on the chip.
  bus_.Clear();
  bus_.I2cPutStart();
  const std::uint32_t device = bus_.I2cPutByte(addressing_.DeviceByte(address, false));
  bus_.I2cPutStop();
  return ExchangeUntilAnswered(device);
}

bool I2cGroups::ExchangeUntilAnswered(std::uint32_t device) {
  for (int waited = 0;; ++waited) {
    bus_.Exchange();
    // The entry after the start's first sample (both lines released) shows the idle bus: SDA
    // low there is held by something else, which also reads as every acknowledge, and polling
    // would only clock it along unseen.
    busHeld_ = !bus_.SdaHigh(1);
    if (busHeld_) return false;
    if (bus_.Acknowledged(device)) return true;
    if (waited == kPollMs) return false;
    unit_.Wait(1);
  }
}

bool I2cGroups::AllAcknowledged(std::uint32_t from, std::int32_t count) const {
  for (std::int32_t k = 0; k < count; ++k) {
    if (!bus_.Acknowledged(from + static_cast<std::uint32_t>(k * kByte))) return false;
  }
  return true;
}

I2cGroupResult I2cGroups::Write(std::uint32_t address, std::span<const std::uint8_t> data) {
  if (!AwaitWriteCycle(address)) return Unanswered();
  const std::uint32_t device = LayAddressPhase(address);
  for (std::uint8_t b : data) bus_.I2cPutByte(b);
  bus_.I2cPutStop();
  if (!ExchangeUntilAnswered(device)) return Unanswered();
  writeCycle_ = true;
  const auto bytes = static_cast<std::int32_t>(addressing_.AddressBytes(address).size() + data.size());
  return AllAcknowledged(device + kByte, bytes) ? I2cGroupResult::Done : I2cGroupResult::Refused;
}

bool I2cGroups::ClearBus() {
  busHeld_ = false;
  bus_.Clear();
  bus_.I2cPutBusClear();
  bus_.Exchange();
  return bus_.SdaHigh(bus_.Run().Length() - 1);
}

I2cGroupResult I2cGroups::Read(std::uint32_t address, std::span<std::uint8_t> out) {
  if (!AwaitWriteCycle(address)) return Unanswered();
  const std::uint32_t device = LayAddressPhase(address);
  const auto addressBytes = static_cast<std::int32_t>(addressing_.AddressBytes(address).size());
  bus_.I2cPutStart();
  const std::uint32_t readDevice = bus_.I2cPutByte(addressing_.DeviceByte(address, true));
  const std::uint32_t first = bus_.Run().Length();
  for (std::size_t i = 0; i < out.size(); ++i) bus_.I2cPutReadByte(i + 1 < out.size());
  bus_.I2cPutStop();
  if (!ExchangeUntilAnswered(device)) return Unanswered();
  if (!AllAcknowledged(device + kByte, addressBytes) || !bus_.Acknowledged(readDevice)) {
    return I2cGroupResult::Refused;
  }
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = bus_.I2cGetByte(first + static_cast<std::uint32_t>(i * kByte));
  return I2cGroupResult::Done;
}

}  // namespace pw
