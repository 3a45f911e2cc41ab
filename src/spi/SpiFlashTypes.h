#pragma once
/// @file
/// The 25-series flash types of SpiFlash.ini: what a chip of each type is, found by its JEDEC ID.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ini/IniFile.h"

namespace pw {

/// The three bytes a chip answers to Read JEDEC ID (0x9F): maker, memory type, capacity.
using JedecId = std::array<std::uint8_t, 3>;

/// A typical and a maximum duration, in the unit its key names.
struct SpiFlashTime {
  std::uint32_t Typical = 0;
  std::uint32_t Maximum = 0;
};

/// An erase command and the aligned bytes it erases.
struct SpiFlashErase {
  std::uint8_t Command = 0;
  std::uint32_t Bytes = 0;
};

/// How a chip beyond 16 MiB takes 4-byte addresses (SpiFlash.ini key FourByte).
enum class SpiFourByte {
  None,       ///< three address bytes reach the whole chip (FourByte missing or none)
  EnterExit,  ///< FourByte=enter: B7 enters 4-byte mode, E9 leaves it
  Opcodes,    ///< FourByte=opcodes: the chip's own 4-byte commands (13 read, 12 program, 21/DC erase)
  /// FourByte=enterwren: as EnterExit, but the chip takes B7 and E9 only after a Write Enable.
  EnterExitAfterWriteEnable,
};

/// The Read Data clock of a type that does not give ReadMHz (or comes from SFDP): the slowest
/// the 25-series makers give, so that no chip is clocked beyond its datasheet.
inline constexpr std::uint32_t kSpiDefaultReadMHz = 20;

/// A flash type as SpiFlash.ini describes it.
struct FlashType {
  std::string Name;
  JedecId Id{};
  std::uint32_t Size = 0;
  std::uint32_t PageSize = 256;
  SpiFlashErase Sector{0x20, 4096};
  SpiFlashErase Block{0xD8, 65536};
  std::uint8_t ChipErase = 0xC7;
  std::uint8_t StatusBusy = 0x01;
  std::uint8_t StatusProtect = 0x1C;
  SpiFlashTime PageProgramUs;
  SpiFlashTime SectorEraseMs;
  SpiFlashTime BlockEraseMs;
  SpiFlashTime ChipEraseMs;
  /// False for chips that program byte by byte: read and verify only.
  bool Writable = true;
  /// Program=aai: programmed by auto-address increment, two bytes a command (0xAD), the status
  /// register written after Enable Write Status (0x50).
  bool Aai = false;
  SpiFourByte FourByte = SpiFourByte::None;
  /// ReadMHz=: the fastest clock (MHz) of Read Data (0x03), the command every read uses.
  std::uint32_t ReadMHz = kSpiDefaultReadMHz;
};

/// The description file of the flash types.
inline constexpr const char* kSpiFlashTypesFile = "SpiFlash.ini";

/// The largest chip three address bytes reach: larger ones need FourByte.
inline constexpr std::uint32_t kSpiFlashThreeByteBytes = 16u << 20;
/// The largest chip a type may describe.
inline constexpr std::uint32_t kSpiFlashMostBytes = 128u << 20;

/// The 64 KiB block: the widest erase short of the chip erase that 25-series chips commonly have
/// (those with wider sectors say so in BlockErase). A write works in chunks at least this wide,
/// so that an erase wider than SpiFlash.ini says still stays within bytes it has read.
inline constexpr std::uint32_t kSpiLargestErase = 64u << 10;

/// The type of section, or a line naming the section, key and what is wrong with it.
struct FlashTypeResult {
  std::optional<FlashType> Type;
  std::string Problem;
};
FlashTypeResult ReadSpiFlashType(const IniFile& types, const std::string& section);

/// The first section whose Jedec= is id (whether or not the rest of it is valid), or nothing.
std::optional<std::string> FindSpiFlashSection(const IniFile& types, const JedecId& id);

/// The 4-byte-address command a chip with FourByte=opcodes has for a 3-byte one (read 03,
/// page program 02, 4 KiB erase 20, 64 KiB erase D8), or nothing.
std::optional<std::uint8_t> SpiFourByteOpcode(std::uint8_t command);

/// id as the page shows it: "EF 40 16".
std::string JedecText(const JedecId& id);

}  // namespace pw
