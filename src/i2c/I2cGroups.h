#pragma once
/// @file
/// Transfers with a 24Cxx, each as one bus transaction and one exchange with the programmer,
/// with the chip's acknowledges looked at. A read carries as many bytes as the sample buffers
/// hold (the chip's address counter runs on across pages and blocks); a write carries one page
/// group. A chip busy with its write cycle does not answer its device address: after a write,
/// the next transfer first polls the device address with a transaction of its own until it is
/// answered (acknowledge polling), for a bounded time, so that a long transfer is not sent to a
/// chip that would ignore it.

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
  /// SDA was low before the start: something holds the bus (ClearBus may free it).
  BusHeld,
};

class I2cGroups {
 public:
  /// Bytes in a write group of a type whose page size is not known; groups start at multiples
  /// of it. Every 24Cxx page is a multiple of 8.
  static constexpr int kGroupBytes = 8;
  /// How long an unanswered device address is polled, in milliseconds (a 24Cxx write cycle is 5 ms, 10 on old parts).
  static constexpr int kPollMs = 40;

  I2cGroups(D2XXUnit& unit, I2cAddressing addressing) : unit_(unit), bus_(unit), addressing_(addressing) {}

  /// The most bytes one Read can carry within the sample buffers.
  static std::int32_t MostReadBytes(const I2cAddressing& addressing);
  /// The most data bytes one Write can carry within the sample buffers.
  static std::int32_t MostWriteBytes(const I2cAddressing& addressing);

  /// Writes data (at most MostWriteBytes, within one page of the chip) from address on: start,
  /// device byte, address, data, stop.
  I2cGroupResult Write(std::uint32_t address, std::span<const std::uint8_t> data);
  /// Reads out.size() bytes (at most MostReadBytes) from address on: the address phase, a
  /// repeated start, the reads (the last one not acknowledged), stop.
  I2cGroupResult Read(std::uint32_t address, std::span<std::uint8_t> out);
  /// Sends the bus clear (I2C_eeprom::I2cPutBusClear); whether SDA is high after it.
  bool ClearBus();
  /// The device byte that addresses the chip for a write at address.
  std::uint8_t DeviceByte(std::uint32_t address) const { return addressing_.DeviceByte(address, false); }

 private:
  /// Starts a run with start, the device byte and the address bytes; returns the device byte's mark.
  std::uint32_t LayAddressPhase(std::uint32_t address);
  /// After a write, polls the device address of address alone until the chip answers; false
  /// when it never did within the polling time.
  bool AwaitWriteCycle(std::uint32_t address);
  /// Exchanges the laid run; polls while the device byte at mark device goes unanswered. Gives
  /// up at once when SDA was low before the run's start (busHeld_).
  bool ExchangeUntilAnswered(std::uint32_t device);
  /// NoAnswer, or BusHeld when that is why.
  I2cGroupResult Unanswered() const { return busHeld_ ? I2cGroupResult::BusHeld : I2cGroupResult::NoAnswer; }
  bool AllAcknowledged(std::uint32_t from, std::int32_t count) const;

  D2XXUnit& unit_;
  I2C_eeprom bus_;
  I2cAddressing addressing_;
  /// A write was sent: the chip may be in its write cycle.
  bool writeCycle_ = false;
  bool busHeld_ = false;
};

}  // namespace pw
