#pragma once
/// @file
/// The 25-series SPI flash chips the virtual programmer can carry, as their datasheets describe them.

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace pw::sim {

/// How a part beyond 16 MiB enters 4-byte address mode.
enum class SimEnter4 : std::uint8_t {
  None,       ///< it has no 4-byte mode
  B7,         ///< B7 enters it, E9 leaves it
  B7AfterWel  ///< as B7, each only with the write-enable latch set (which it clears)
};

struct SimSpiFlashPart {
  const char* Name;
  /// The answer to Read JEDEC ID: maker, memory type, capacity.
  std::array<std::uint8_t, 3> Id;
  std::uint32_t Size;
  /// The bytes command 0x20 erases; 0 for chips whose smallest uniform erase is the 64 KiB block.
  std::uint32_t SectorBytes;
  /// The status register's block-protection bits.
  std::uint8_t ProtectBits;
  /// Typical busy times: page program (µs), sector, block and chip erase (ms).
  std::uint32_t PageProgramUs;
  std::uint32_t SectorEraseMs;
  std::uint32_t BlockEraseMs;
  std::uint32_t ChipEraseMs;
  /// Auto-address-increment parts: command 0x02 programs one byte, not a page, 0xAD two bytes
  /// a command in a sequence, and Enable Write Status (0x50) allows a status write.
  bool ByteProgram = false;
  std::uint32_t PageBytes = 256;
  /// The bytes command 0xD8 erases.
  std::uint32_t BlockBytes = 64 * 1024;
  SimEnter4 Enter4 = SimEnter4::None;
  /// The part has the 4-byte commands 13 (read), 12 (program), 21 (4 KiB) and DC (block erase).
  bool Opcodes4 = false;
  /// The part answers Read SFDP (0x5A) with a table built from these facts (sim/SimSfdp.h).
  bool Sfdp = false;
};

/// Every part the virtual programmer knows.
std::span<const SimSpiFlashPart> SimSpiFlashParts();

/// The part of that name (as its maker writes it, any letter case), or null.
const SimSpiFlashPart* FindSimSpiFlashPart(const std::string& name);

/// The typical time a status-register write keeps the chip busy, in microseconds.
inline constexpr std::uint32_t kSimSpiStatusWriteUs = 10000;

}  // namespace pw::sim
