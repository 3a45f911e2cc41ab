#pragma once
/// @file
/// How an EEPROM type addresses its bytes (its I2C_E.ini Protocol): the device byte with the
/// chip-select inputs at 0, and the word-address bytes that follow it.

#include <cstdint>
#include <vector>

namespace pw {

struct I2cAddressing {
  /// 1: one address byte, address bits 8-10 in device-byte bits 1-3 (24C00 to 24C16);
  /// 2: two address bytes, high first (24C32 to 24C512);
  /// 3: two address bytes, address bit 16 in device-byte bit 1 (24C1024, 24M01);
  /// 4: two address bytes, address bits 16-17 in device-byte bits 1-2 (24M02);
  /// 5: two address bytes, address bit 16 in device-byte bit 3 (24LC1025);
  /// anything else: one address byte.
  std::uint8_t Protocol = 2;

  /// Whether protocol is one of the schemes above.
  static bool Known(std::int64_t protocol) { return protocol >= 1 && protocol <= kMostProtocol; }
  static constexpr std::int64_t kMostProtocol = 5;

  /// 0xA0 (write) or 0xA1 (read), plus the block bits of address.
  std::uint8_t DeviceByte(std::uint32_t address, bool read) const;
  /// The word-address bytes sent after the device byte.
  std::vector<std::uint8_t> AddressBytes(std::uint32_t address) const;
  /// How many bytes the scheme can tell apart; addresses beyond wrap around.
  std::uint32_t Reach() const;
  /// The stretch a transfer must not cross: the bytes one device byte reaches when the address
  /// bytes are two (a chip's sequential read may roll over inside it), else the whole reach.
  std::uint32_t Block() const;
};

}  // namespace pw
