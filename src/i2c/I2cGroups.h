#pragma once
/// @file
/// One group of up to eight bytes as one bus transaction and one exchange with the programmer,
/// with the chip's acknowledges looked at. A chip busy with its write cycle does not answer its
/// device address: the group is sent again until it does (acknowledge polling), for a bounded
/// time.

#include <cstdint>
#include <span>

#include "i2c/I2cAddressing.h"
#include "i2c/I2cBus.h"
#include "link/D2xxUnit.h"

namespace pw {

enum class I2cGroupResult {
  Done,
  /// The device address went unanswered for the whole polling time: no chip, or a dead one.
  NoAnswer,
  /// The chip answered its address but refused a later byte.
  Refused,
};

class I2cGroups {
 public:
  /// Bytes in a group; groups start at multiples of it.
  static constexpr int kGroupBytes = 8;
  /// How long an unanswered device address is polled, in milliseconds (a 24Cxx write cycle is 5 ms, 10 on old parts).
  static constexpr int kPollMs = 40;

  I2cGroups(D2XXUnit& unit, I2cAddressing addressing) : unit_(unit), bus_(unit), addressing_(addressing) {}

  /// Writes data (at most 8 bytes) from address on: start, device byte, address, data, stop.
  I2cGroupResult Write(std::uint32_t address, std::span<const std::uint8_t> data);
  /// Reads out.size() bytes (at most 8) from address on: the address phase, a repeated start,
  /// the reads (the last one not acknowledged), stop.
  I2cGroupResult Read(std::uint32_t address, std::span<std::uint8_t> out);

 private:
  /// Lays start, the device byte and the address bytes; returns where each of those bytes starts.
  std::int32_t LayAddressPhase(std::int32_t& position, std::uint32_t address);
  /// Exchanges the laid run; polls while the device byte at deviceAt goes unanswered.
  bool ExchangeUntilAnswered(std::int32_t length, std::int32_t deviceAt);
  bool AllAcknowledged(std::int32_t from, std::int32_t count) const;

  D2XXUnit& unit_;
  I2C_eeprom bus_;
  I2cAddressing addressing_;
};

}  // namespace pw
