#pragma once
/// @file
/// A PIC18 on the ICSP header (PIC18F2455/2550/4455/4550, PIC18F2420/2520/4420/4520), modelled
/// on the PIC18F2XXX/4XXX programming document: programming mode entered by raising MCLR
/// to Vpp with PGC and PGD low; 4-bit commands with 16-bit operands (SimPic18Icsp.h): 0000 core
/// instruction (SimPic18Core.h), 0010 shift out TABLAT, 1000-1011 table reads (*, *+, *-, +*),
/// 1100-1111 table writes (*, *+2, *+2 and start programming, start programming); the other
/// commands are not understood.
///
/// Programming: a table write that starts programming arms a cycle that runs while PGC is held
/// high on the 4th clock of the next command; it writes the write buffer into the block the table
/// pointer stands in (program memory and IDs, EECON1 EEPGD set, CFGS clear) or one configuration
/// byte (EEPGD and CFGS set). Under the datasheet timing model a hold shorter than P9 (P9A for a
/// configuration byte) writes nothing. The buffer is empty (0xFF) after every cycle.
///
/// Chip erase: the key 0x3F8F written to 0x3C0005 (high byte) and 0x3C0004 (low byte), a NOP,
/// then a NOP command after which PGD stays low until the operand's first clock (at least P11
/// under the datasheet timing model). Other keys erase nothing. Code protection (CONFIG5L/5H)
/// makes blocks read 0 and take no writes; write protection (CONFIG6L/6H) blocks writes; both
/// are lifted only by the chip erase. Data EEPROM is written through EECON1 (WREN, then WR,
/// which reads 1 for P11A under the datasheet timing model).
///
/// Memory (one bench file "Memory"): see SimPic18Memory.h.

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/SimChips.h"
#include "sim/SimPic18Core.h"
#include "sim/SimPic18Icsp.h"
#include "sim/SimPic18Memory.h"
#include "sim/SimPic18Parts.h"
#include "sim/SimPicEntry.h"

namespace pw::sim {

class SimPic18 : public SimPicChip {
 public:
  /// The chip-erase key as the two registers 0x3C0005:0x3C0004 hold it.
  static constexpr std::uint16_t kChipEraseKey = 0x3F8F;

  explicit SimPic18(const SimPic18Part& part);

  std::optional<bool> Step(bool powered, bool vpp, bool pgc, bool pgd, const SimEnvironment& env) override;
  void PowerOff() override;
  std::vector<SimMemory> Memories() override { return {{"Memory", &memory_.Bytes()}}; }

  const SimPic18Part& Part() const { return part_; }
  SimPic18Memory& Memory() { return memory_; }
  bool InProgramming() const { return programming_; }
  /// How many commands and core instructions the chip did not understand.
  int Ununderstood() const { return ununderstood_; }

 private:
  /// A programming cycle a start-programming table write armed.
  struct Cycle {
    bool Config = false;
    std::uint32_t Address = 0;
    std::uint8_t Byte = 0;
  };
  /// How far a chip erase has come.
  enum class EraseStep { None, Keyed, Nop, Holding };

  void Enter(bool pgc);
  void Leave();
  void OnEvent(const SimPic18Icsp::Event& event, const SimEnvironment& env);
  void OnCommand(int cmd, const SimEnvironment& env);
  void OnOperand(std::uint16_t value, const SimEnvironment& env);
  /// The 4th falling clock edge ends an armed programming cycle.
  void EndCycle(const SimEnvironment& env);
  void TableRead(int cmd);
  void TableWrite(std::uint16_t value, bool start);
  void WriteEraseKey(std::uint32_t address, std::uint16_t value);
  /// Start programming at address: armed only with EECON1 pointing at that memory.
  void Arm(const Cycle& cycle);
  void EndEraseHold(const SimEnvironment& env);

  const SimPic18Part& part_;
  SimPic18Memory memory_;
  SimPic18Core core_{memory_};
  SimPic18Icsp icsp_;
  bool programming_ = false;
  SimPicEntry entry_;
  int command_ = 0;
  std::optional<Cycle> armed_;
  std::optional<SimTime> cycleStart_;
  std::uint16_t eraseKey_ = 0;
  EraseStep erase_ = EraseStep::None;
  SimTime holdStart_ = 0;
  bool holdLow_ = false;
  int ununderstood_ = 0;
};

}  // namespace pw::sim
