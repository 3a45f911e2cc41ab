#pragma once
/// @file
/// A PIC on the ICSP header, modelled on the maker's programming documents for the part:
/// programming mode entered by raising MCLR to Vpp with PGC and PGD low, which starts the
/// program counter afresh (0x0000 on mid-range parts, the configuration word on the baseline
/// 12F508/509); the family's commands (others are not understood); program memory, data memory,
/// ID and configuration words, the device ID; bulk, chip and row erase, the 16F84A's protection
/// clearing, the write latches of the 16F87xA, 16F87/88, 16F818/819 and 16F88x, the 16F88x's
/// second configuration word and read-only calibration word 0x2009; code protection (protected memory reads as zeros,
/// takes no writes, and is lifted only by an erase). Under the datasheet timing model every cycle
/// takes its time: commands sent meanwhile are framed but do nothing, and a programming cycle
/// ended too early writes nothing.
///
/// The program-only families (12F629, 12F683, 16F7x and their kin) keep a factory calibration:
/// an OSCCAL RETLW at 0x3FF and band-gap bits 13:12 of the configuration word (12F629 family,
/// both lost to a bulk erase) or a read-only word 0x2008 no erase touches (12F683 family).
///
/// Memory (one bench file): mid-range parts hold the program words, then the configuration words
/// 0x2000 to 0x2007 (0x200A on the F88 and F88x families), then the data memory; baseline parts hold every word the
/// counter runs through (program memory, IDs, backup calibration, configuration word last). Words are low byte first.

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/SimChips.h"
#include "sim/SimPicEntry.h"
#include "sim/SimPicIcsp.h"
#include "sim/SimPicParts.h"

namespace pw::sim {

class SimPic : public SimPicChip {
 public:
  /// The calibration word the factory leaves on baseline parts (MOVLW 0x70).
  static constexpr std::uint16_t kFactoryOsccal = 0x0C70;
  /// The calibration a 12F629-family chip leaves the factory with: RETLW 0x80 at 0x3FF and
  /// band-gap bits 01 in its configuration word.
  static constexpr std::uint16_t kFactoryRetlwOsccal = 0x3480;
  static constexpr std::uint16_t kFactoryConfigWithBandGap = 0x1FFF;
  /// The read-only calibration word 0x2008 of a 12F683-family chip.
  static constexpr std::uint16_t kFactoryCalibrationWord = 0x2C4B;
  /// Mid-range configuration space: IDs from 0x2000, the device ID, the 16F88x's calibration word.
  static constexpr std::uint32_t kConfigBase = 0x2000;
  static constexpr std::uint32_t kDeviceIdWord = 0x2006;
  static constexpr std::uint32_t kCalibrationWord = 0x2009;
  /// What the factory leaves in the 16F88x's calibration word 0x2009 (any trimmed value).
  static constexpr std::uint16_t kFactoryCalibration = 0x2A5C;

  explicit SimPic(const SimPicPart& part);

  std::optional<bool> Step(bool powered, bool vpp, bool pgc, bool pgd, const SimEnvironment& env) override;
  void PowerOff() override;
  std::vector<SimMemory> Memories() override { return {{"Memory", &memory_}}; }

  const SimPicPart& Part() const { return part_; }
  bool InProgramming() const { return programming_; }
  std::uint32_t Counter() const { return pc_; }
  /// Program word w (mid-range: w < ProgramWords; baseline: any counter location).
  std::uint16_t ProgramWord(std::uint32_t w) const;
  void SetProgramWord(std::uint32_t w, std::uint16_t value);
  /// Configuration-area word 0x2000 + i (mid-range) or the configuration word (baseline, i = 7).
  std::uint16_t ConfigWord(std::uint32_t i) const;
  void SetConfigWord(std::uint32_t i, std::uint16_t value);
  std::uint8_t DataByte(std::uint32_t k) const;
  void SetDataByte(std::uint32_t k, std::uint8_t value);
  /// How many commands the chip did not understand.
  int Ununderstood() const { return ununderstood_; }

 private:
  bool Baseline() const { return part_.Family == SimPicFamily::Baseline; }
  std::uint16_t WordMask() const { return Baseline() ? 0x0FFF : 0x3FFF; }
  std::uint32_t CounterWords() const { return part_.ProgramWords * 2; }
  /// Configuration-space words the memory keeps from 0x2000 on.
  std::uint32_t ConfigWordsKept() const;
  /// Words of the program-memory write latch; 0: every word is written alone.
  std::uint32_t LatchWords() const;
  /// The command that ends an externally timed cycle.
  int EndCommand() const;
  /// Whether the word at counter location pc takes no writes (device ID, calibration).
  bool ReadOnly(std::uint32_t pc) const;
  std::uint32_t ConfigAddress() const { return Baseline() ? CounterWords() - 1 : 0x2007; }
  bool InConfigSpace() const { return Baseline() ? pc_ >= part_.ProgramWords : pc_ >= 0x2000; }
  /// Words kept from 0x2000 on: 8, or 9 where 0x2008 holds the calibration word.
  /// Where data memory begins in memory_.
  std::uint32_t DataOffset() const {
    return (Baseline() ? CounterWords() : part_.ProgramWords + ConfigWordsKept()) * 2;
  }
  std::uint16_t Word(std::uint32_t byteOffset) const;
  void SetWord(std::uint32_t byteOffset, std::uint16_t value);
  /// Byte offset of the word at counter location pc in memory_, or nothing for one not kept.
  std::optional<std::uint32_t> Locate(std::uint32_t pc) const;
  bool CodeProtected() const;
  bool DataProtected() const;

  void Enter(bool pgc);
  void Execute(int cmd, const SimEnvironment& env);
  void ExecuteBusy(int cmd);
  /// Load, read and Increment Address; false for any other command.
  bool Transfer(int cmd);
  /// The commands that program, erase or lead up to them; armed and clearStep: what the command
  /// before left pending.
  void Program(int cmd, int armed, int clearStep, const SimEnvironment& env);
  /// Begin Programming (8): a baseline cycle, an armed bulk erase, the protection clearing, or a write.
  void BeginProgramming(int armed, int clearStep, const SimEnvironment& env);
  /// Bulk Erase Program Memory (9) and Data Memory (11).
  void BulkErase(int cmd, const SimEnvironment& env);
  /// Begin Programming Only (24).
  void BeginProgrammingOnly(const SimEnvironment& env);
  /// Bulk Erase Program Memory (9) on the F88 and F88x families (SimPicLatched.cpp).
  void LatchedBulkErase();
  /// Row Erase (17) (SimPicLatched.cpp).
  void RowErase(const SimEnvironment& env);
  void Load(std::uint16_t value);
  void Increment();
  std::uint16_t ReadProgram() const;
  std::uint16_t ReadData() const;
  /// Begin Erase/Programming (8) on a mid-range part.
  void EraseProgram(const SimEnvironment& env);
  /// Writes value at the counter: erase first (replace) or program only (clear bits).
  void WriteAtCounter(std::uint16_t value, bool eraseFirst);
  void WriteLatchBlock(bool eraseFirst);
  void EraseProgramMemory(bool withConfig);
  void EraseDataMemory();
  void EraseAll();
  /// The end command of a programming cycle opened by 24 or 8 (baseline).
  void EndProgramming(const SimEnvironment& env);
  void Busy(const SimEnvironment& env, std::uint64_t micros);
  /// The factory calibration of a fresh program-only chip.
  void SetFactoryCalibration();

  // The program-only families (SimPicProgramOnly.cpp).
  /// Their programming and erase commands (8, 9, 10, 11, 14, 17, 24).
  void ProgramOnlyCommand(int cmd, const SimEnvironment& env);
  /// Closes a cycle opened by 24 (F629, F683) or 8 (F7x): in time, the latches are programmed.
  void EndLatchedCycle(const SimEnvironment& env);
  /// Programs the latches (block of the counter) or, in configuration space or for data memory,
  /// the word at the counter; the latches return to 0x3FFF.
  void ProgramLatched();
  /// Bulk Erase Program Memory: from configuration space also the IDs and the configuration word;
  /// from program memory only when the code is not protected.
  void BulkEraseProgramOnly();
  /// Row Erase Program Memory (17): the 16-word row of the counter, unless protected.

  const SimPicPart& part_;
  const SimPicTimes times_;
  std::vector<std::uint8_t> memory_;
  SimPicIcsp icsp_;
  bool programming_ = false;
  SimPicEntry entry_;
  std::uint32_t pc_ = 0;
  enum class Target { Program, Data } loaded_ = Target::Program;
  /// A Load command is waiting for its data frame.
  std::optional<Target> awaiting_;
  bool discardFrame_ = false;
  std::uint16_t programLatch_ = 0x3FFF;
  std::uint8_t dataLatch_ = 0xFF;
  /// The program-memory write latches (LatchWords of them).
  std::vector<std::uint16_t> latches_;
  /// 16F84A: 9 or 11 waits for the 8 that carries it out.
  int bulkArmed_ = 0;
  /// 16F84A: how far the protection-clearing commands 1, 7 have come.
  int clearStep_ = 0;
  /// A programming cycle that waits for its end command (23 or 14), and when it began.
  std::optional<SimTime> openCycle_;
  SimTime busyUntil_ = 0;
  int ununderstood_ = 0;
};

}  // namespace pw::sim
