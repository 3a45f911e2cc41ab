#pragma once
/// @file
/// The PIC18 in-circuit serial programming protocol as Microchip's programming document for the
/// PIC18F2XXX/4XXX family gives it: the 4-bit commands, the core instructions the host sends,
/// the special function registers they touch, the addresses of the memories and the times the
/// host waits. Every PIC18 routine takes its numbers from here.

#include <cstdint>

namespace pw::pic18 {

/// The 4-bit commands; each is followed by a 16-bit operand, both least significant bit first.
enum Command : std::uint8_t {
  kCoreInstruction = 0x0,
  kShiftOutTablat = 0x2,
  kTableRead = 0x8,
  kTableReadPostIncrement = 0x9,
  kTableWrite = 0xC,
  kTableWritePostIncrement2 = 0xD,
  kTableWriteStartProgramming = 0xF,
};

/// Clocks of a command and of its operand.
inline constexpr int kCommandBits = 4;
inline constexpr int kOperandBits = 16;
/// Operand clocks of a read during which the chip drives PGD: the last eight.
inline constexpr int kReadFirstClock = 8;

/// Special function registers in the access bank (their low address byte).
enum Register : std::uint8_t {
  kTblptrU = 0xF8,
  kTblptrH = 0xF7,
  kTblptrL = 0xF6,
  kTablat = 0xF5,
  kEecon1 = 0xA6,
  kEedata = 0xA8,
  kEeadr = 0xA9,
  kEeadrH = 0xAA,
};

/// EECON1 bits.
enum Eecon1Bit : std::uint8_t { kRd = 0, kWr = 1, kWren = 2, kCfgs = 6, kEepgd = 7 };

/// Core instructions (access bank).
constexpr std::uint16_t Movlw(std::uint8_t k) { return static_cast<std::uint16_t>(0x0E00 | k); }
constexpr std::uint16_t Movwf(std::uint8_t f) { return static_cast<std::uint16_t>(0x6E00 | f); }
constexpr std::uint16_t MovfToW(std::uint8_t f) { return static_cast<std::uint16_t>(0x5000 | f); }
constexpr std::uint16_t Bsf(std::uint8_t f, int bit) { return static_cast<std::uint16_t>(0x8000 | bit << 9 | f); }
constexpr std::uint16_t Bcf(std::uint8_t f, int bit) { return static_cast<std::uint16_t>(0x9000 | bit << 9 | f); }
inline constexpr std::uint16_t kNop = 0x0000;

/// Byte addresses of the memories beyond program memory.
inline constexpr std::uint32_t kIdAddress = 0x200000;
inline constexpr std::uint32_t kIdBytes = 8;
inline constexpr std::uint32_t kConfigAddress = 0x300000;
inline constexpr std::uint32_t kDeviceIdAddress = 0x3FFFFE;
/// The bulk-erase key registers: the key's high byte goes to 0x3C0005, its low byte to 0x3C0004.
inline constexpr std::uint32_t kEraseKeyHighAddress = 0x3C0005;
inline constexpr std::uint32_t kEraseKeyLowAddress = 0x3C0004;
/// Chip erase: program memory, IDs, data EEPROM and configuration, protection lifted. (Some
/// programmers' notes give 0x3F3F or 0x0F8F for the 2455 family; the maker's
/// bulk-erase table gives 0x3F8F for every part of the family served here.)
inline constexpr std::uint16_t kChipEraseKey = 0x3F8F;

/// P10: PGC low after a programming or erase cycle before the next command, in microseconds.
inline constexpr std::int32_t kP10Micros = 100;
/// P9: the shortest program-memory programming time, in ms; the type's ProgramMs when longer.
inline constexpr std::int32_t kP9Ms = 1;
/// P11: the bulk-erase time, in ms; the type's ProgramMs when longer.
inline constexpr std::int32_t kP11Ms = 5;

/// The bounds PIC.ini's values of a PIC18 type keep: program words (128 KiB), write-buffer bytes.
inline constexpr std::int32_t kPic18MostProgramWords = 0x10000;
inline constexpr std::int32_t kPic18MostWriteBuffer = 64;
/// Bits 4..0 of the device ID are the silicon revision; an ID of all ones or all zeros is no chip.
inline constexpr std::uint16_t kDeviceIdMask = 0xFFE0;

}  // namespace pw::pic18
