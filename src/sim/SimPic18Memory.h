#pragma once
/// @file
/// The memories of a simulated PIC18 and what guards them: program memory written through the
/// write buffer, the ID locations, the configuration bytes, the data EEPROM, the chip erase and
/// the code and write protection of the configuration bytes CONFIG5L to CONFIG6H.
///
/// Bytes (one bench file, addresses as the table pointer names them): program memory from 0,
/// then the 8 ID bytes 0x200000-7, then the 14 configuration bytes 0x300000-D, then the data
/// EEPROM.

#include <cstdint>
#include <vector>

#include "sim/SimPic18Parts.h"

namespace pw::sim {

class SimPic18Memory {
 public:
  static constexpr std::uint32_t kIdBase = 0x200000;
  static constexpr std::uint32_t kIdBytes = 8;
  static constexpr std::uint32_t kConfigBase = 0x300000;
  static constexpr std::uint32_t kDeviceIdBase = 0x3FFFFE;

  explicit SimPic18Memory(const SimPic18Part& part);

  std::vector<std::uint8_t>& Bytes() { return bytes_; }
  /// What a table read at address gives: protected blocks and unimplemented places read 0.
  std::uint8_t Read(std::uint32_t address) const;
  /// A table write of an even and an odd byte into the write buffer; false where the buffer
  /// does not reach (outside program memory and IDs).
  bool Latch(std::uint32_t address, std::uint16_t twoBytes);
  /// Programs the buffer into the block address stands in (bits only go from 1 to 0) and resets it.
  void WriteBuffer(std::uint32_t address);
  void DropBuffer();
  /// A configuration byte cycle (erase and write of that byte); protection bits only drop.
  void WriteConfig(std::uint32_t address, std::uint8_t value);
  /// Data EEPROM byte k; protected data reads 0 and takes no writes.
  std::uint8_t ReadData(std::uint32_t k) const;
  void WriteData(std::uint32_t k, std::uint8_t value);
  /// Program memory, IDs, configuration (back to its erased values) and data EEPROM.
  void EraseChip();

  bool IsProgram(std::uint32_t address) const { return address < part_.ProgramBytes; }
  bool IsId(std::uint32_t address) const { return address - kIdBase < kIdBytes; }
  bool IsConfig(std::uint32_t address) const { return address - kConfigBase < kPic18ConfigBytes; }
  /// Configuration byte i as stored (all bits, implemented or not).
  std::uint8_t ConfigByte(std::uint32_t i) const { return bytes_[ConfigOffset() + i]; }

 private:
  std::uint32_t ConfigOffset() const { return part_.ProgramBytes + kIdBytes; }
  std::uint32_t DataOffset() const { return ConfigOffset() + kPic18ConfigBytes; }
  /// Whether a clear bit in configuration byte at, bit (boot block) or bit n (block n) guards address.
  bool Guarded(std::uint32_t address, std::uint32_t blocksByte, std::uint32_t bootByte) const;
  bool ConfigBitClear(std::uint32_t byte, int bit) const { return ((ConfigByte(byte) >> bit) & 1) == 0; }
  bool CodeProtected(std::uint32_t address) const { return Guarded(address, 8, 9); }
  bool WriteProtected(std::uint32_t address) const { return Guarded(address, 10, 11); }

  const SimPic18Part& part_;
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace pw::sim
