#pragma once
/// @file
/// How a PIC type enters programming mode, writes its program words and erases: the meanings
/// of PIC.ini's EnterType, ProgrammType and EraseType numbers (pic/PicTypes.cpp maps them).

#include <cstdint>

namespace pw {

/// Key EnterType.
enum class PicEntry {
  /// 0 and 1: the MCLR pulse, which also restarts the target's counter.
  MclrPulse,
  /// No type shown yet, or a number PIC.ini does not define (the type is refused): nothing is sent.
  Nothing,
};

/// Key ProgrammType: how a program word is written and read back.
enum class PicProgramming {
  /// No type shown yet, or a number not listed here: the type carries a Problem and its
  /// operations are refused (pic/PicTypes.h); nothing is ever written with it.
  Unknown,
  /// 1: Load Data, Begin Erase/Programming (8), read back (16F84A, 16F62xA).
  EraseProgram,
  /// 2: Begin Programming (8), End Programming (14); 12-bit words, no Load Configuration: the
  /// counter stands at the configuration word after entry (12F508/509).
  Baseline,
  /// 3: Begin Programming Only (24), End Programming (23) (16F87xA).
  ProgramOnly,
  /// 4: Load Data (2), Begin Programming (8, externally timed), the wait, End Programming (14),
  /// read back; 14-bit words, no data memory (16F72-77).
  ExternallyTimed,
  /// 5: the write latch (WriteLatch words) loaded, Begin Programming Only (24), End Programming
  /// (23); configuration words by the same cycle, one at a time (16F87/88, 16F818/819).
  LatchedProgramOnly,
  /// 6: the write latch loaded, Begin Programming (24, externally timed), End Programming (10);
  /// configuration words by Begin Programming (8, internally timed): the externally timed
  /// cycle does not program configuration memory (16F882-887).
  LatchedExternal,
  /// 7: PIC18: 4-bit commands with 16-bit operands, table writes through a write buffer of
  /// `WriteBuffer` bytes, byte addresses (pic/Pic18Protocol.h).
  Pic18,
};

/// Key EraseType.
enum class PicErase {
  /// No type shown yet, or a number not listed here (the type is refused): nothing is sent.
  Nothing,
  /// 1: each bulk erase (9, then 11) after a programming cycle of 0x3FFF.
  BulkAfterProgramCycle,
  /// 2 and 3: Load Data 0x3FFF, then the bulk erases 9 and 11, each carried out by command 8.
  Bulk,
  /// 4: Chip Erase (31).
  Chip,
  /// 5: Load Configuration 0x3FFF, Bulk Erase Program Memory (9: program memory, IDs and the
  /// configuration word), the wait, then on types with data memory Bulk Erase Data Memory (11),
  /// the wait; no protection clearing before it.
  BulkFromConfig,
  /// 6: PIC18 bulk erase: the chip-erase key written to 0x3C0005:0x3C0004 (pic/Pic18Protocol.h).
  Pic18Key,
};

/// The wait after each erase run of a type that gives no EraseMs, in ms: longer than any bulk
/// erase of the parts served (the 16F7x take 30 ms).
inline constexpr std::int32_t kPicEraseRunMs = 100;

/// Whether the erase method is preceded by the protection-clearing commands 1, 7 (14-bit types).
constexpr bool PicClearsProtection(PicErase erase) {
  return erase == PicErase::BulkAfterProgramCycle || erase == PicErase::Bulk || erase == PicErase::Chip;
}

/// Bits a word of the type carries: baseline parts have 12-bit words, PIC18 parts 16, the others 14.
constexpr int PicWordBits(PicProgramming programming) {
  if (programming == PicProgramming::Pic18) return 16;
  return programming == PicProgramming::Baseline ? 12 : 14;
}

/// The instruction a factory calibration word holds, its literal aside: MOVLW (0x0Cxx) on baseline
/// parts, RETLW (0x34xx) on 14-bit ones.
constexpr bool PicIsCalibration(PicProgramming programming, std::uint16_t word) {
  return programming == PicProgramming::Baseline ? (word & 0x0F00) == 0x0C00 : (word & 0x3F00) == 0x3400;
}

/// The bits a word of the type carries, as a mask.
constexpr std::uint16_t PicWordMask(PicProgramming programming) {
  return static_cast<std::uint16_t>((1u << PicWordBits(programming)) - 1);
}

/// Whether program words go in through a write latch programmed once per latch block.
constexpr bool PicWritesLatches(PicProgramming programming) {
  return programming == PicProgramming::LatchedProgramOnly || programming == PicProgramming::LatchedExternal;
}

/// The command that ends the externally timed cycle programming a latch block.
constexpr int PicLatchEndCommand(PicProgramming programming) {
  return programming == PicProgramming::LatchedExternal ? 10 : 23;
}

/// The command that ends the cycle of a single configuration word; 0: the cycle is self-timed.
constexpr int PicOneWordEndCommand(PicProgramming programming) {
  if (programming == PicProgramming::Baseline || programming == PicProgramming::ExternallyTimed) return 14;
  return programming == PicProgramming::LatchedProgramOnly ? 23 : 0;
}

}  // namespace pw
