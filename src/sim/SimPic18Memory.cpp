#include "sim/SimPic18Memory.h"

#include <algorithm>

namespace pw::sim {
namespace {

// Protection blocks: the boot block 0-0x7FF, block 0 up to 0x1FFF, then 8 KiB each.
constexpr std::uint32_t kBootBlockEnd = 0x800;
constexpr std::uint32_t kBlockBytes = 0x2000;
// Bits of CONFIG5H (CP) and CONFIG6H (WRT) beside the boot block's bit 6.
constexpr int kBootBit = 6;
constexpr int kDataBit = 7;
constexpr int kConfigWriteBit = 5;
// CONFIG5L to CONFIG7H hold protection bits that only an erase sets again.
constexpr std::uint32_t kFirstProtectionByte = 8;

}  // namespace

SimPic18Memory::SimPic18Memory(const SimPic18Part& part)
    : part_(part), bytes_(part.ProgramBytes + kIdBytes + kPic18ConfigBytes + part.DataBytes, 0xFF) {
  DropBuffer();
  std::copy(part_.Config->Erased.begin(), part_.Config->Erased.end(), bytes_.begin() + ConfigOffset());
}

bool SimPic18Memory::Guarded(std::uint32_t address, std::uint32_t blocksByte, std::uint32_t bootByte) const {
  if (address < kBootBlockEnd) return ConfigBitClear(bootByte, kBootBit);
  return ConfigBitClear(blocksByte, static_cast<int>(address / kBlockBytes));
}

std::uint8_t SimPic18Memory::Read(std::uint32_t address) const {
  if (IsProgram(address)) return CodeProtected(address) ? 0 : bytes_[address];
  if (IsId(address)) return bytes_[part_.ProgramBytes + address - kIdBase];
  if (IsConfig(address)) {
    const std::uint32_t i = address - kConfigBase;
    return static_cast<std::uint8_t>(ConfigByte(i) & part_.Config->Implemented[i]);
  }
  if (address == kDeviceIdBase) return static_cast<std::uint8_t>(part_.DeviceId & 0xFF);
  if (address == kDeviceIdBase + 1) return static_cast<std::uint8_t>(part_.DeviceId >> 8);
  return 0;
}

bool SimPic18Memory::Latch(std::uint32_t address, std::uint16_t twoBytes) {
  if (!IsProgram(address) && !IsId(address)) return false;
  const std::uint32_t at = address & (part_.WriteBuffer - 2);
  buffer_[at] = static_cast<std::uint8_t>(twoBytes & 0xFF);
  buffer_[at + 1] = static_cast<std::uint8_t>(twoBytes >> 8);
  return true;
}

void SimPic18Memory::WriteBuffer(std::uint32_t address) {
  const std::uint32_t block = address & ~(part_.WriteBuffer - 1);
  for (std::uint32_t i = 0; i < part_.WriteBuffer; ++i) {
    const std::uint32_t a = block + i;
    if (IsProgram(a) && !CodeProtected(a) && !WriteProtected(a)) bytes_[a] &= buffer_[i];
    if (IsId(a)) bytes_[part_.ProgramBytes + a - kIdBase] &= buffer_[i];
  }
  DropBuffer();
}

void SimPic18Memory::DropBuffer() { buffer_.assign(part_.WriteBuffer, 0xFF); }

void SimPic18Memory::WriteConfig(std::uint32_t address, std::uint8_t value) {
  if (!IsConfig(address) || ConfigBitClear(11, kConfigWriteBit)) return;
  const std::uint32_t i = address - kConfigBase;
  std::uint8_t& cell = bytes_[ConfigOffset() + i];
  cell = i >= kFirstProtectionByte ? static_cast<std::uint8_t>(cell & value) : value;
}

std::uint8_t SimPic18Memory::ReadData(std::uint32_t k) const {
  return ConfigBitClear(9, kDataBit) ? 0 : bytes_[DataOffset() + k % part_.DataBytes];
}

void SimPic18Memory::WriteData(std::uint32_t k, std::uint8_t value) {
  if (ConfigBitClear(9, kDataBit) || ConfigBitClear(11, kDataBit)) return;
  bytes_[DataOffset() + k % part_.DataBytes] = value;
}

void SimPic18Memory::EraseChip() {
  std::fill(bytes_.begin(), bytes_.end(), 0xFF);
  std::copy(part_.Config->Erased.begin(), part_.Config->Erased.end(), bytes_.begin() + ConfigOffset());
  DropBuffer();
}

}  // namespace pw::sim
