#pragma once
/// @file
/// How an EEPROM type addresses its bytes (its I2C_E.ini Protocol): the device byte with the
/// chip-select inputs at 0, and the word-address bytes that follow it.

#include <cstdint>
#include <vector>

namespace pw {

struct I2cAddressing {
  /// 1: one address byte, address bits 8-10 in device-byte bits 1-3; 2: two address bytes,
  /// high first; anything else: one address byte.
  std::uint8_t Protocol = 2;

  /// 0xA0 (write) or 0xA1 (read), plus the block bits of address.
  std::uint8_t DeviceByte(std::uint32_t address, bool read) const;
  /// The word-address bytes sent after the device byte.
  std::vector<std::uint8_t> AddressBytes(std::uint32_t address) const;
  /// How many bytes the scheme can tell apart; addresses beyond wrap around.
  std::uint32_t Reach() const;
};

}  // namespace pw
