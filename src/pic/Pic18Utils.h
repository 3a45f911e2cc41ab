#pragma once
/// @file
/// `PIC18Utils`: the PIC18 in-circuit serial programming protocol (pic/Pic18Protocol.h) as pin
/// samples on the shared sample-run engine (link/SampleRun.h), with the wiring and entry pulse of
/// the mid-range parts (pic/PicUtils.h). Commands (Pic18Commands.cpp) lay a 4-bit command and its
/// 16-bit operand, a table read, the programming and erase cycles and long waits as idle samples;
/// memory routines (Pic18Memory.cpp) build reads and writes of program memory, IDs, configuration
/// bytes and data EEPROM from them.
///
/// A command is never split between two runs: it starts a new run when the one laid so far has no
/// room for it. Waits may be: the pins keep their levels between two runs, so a run that ends in a
/// wait only makes it longer. A read names where its byte goes; the byte is there once the run it
/// lies in is exchanged (Flush, or a run that filled up). Nothing here logs or opens the programmer.

#include <cstdint>
#include <span>
#include <vector>

#include "link/D2xxUnit.h"
#include "link/SampleRun.h"
#include "pic/Pic18Protocol.h"
#include "pic/PicUtils.h"

namespace pw {

class PIC18Utils {
 public:
  /// Samples of one command with its operand: two a clock.
  static constexpr std::uint32_t kCommandSamples = 2 * (pic18::kCommandBits + pic18::kOperandBits);

  /// baud: the value the programmer runs at, which times the waits (16 × baud samples a second).
  PIC18Utils(D2XXUnit& unit, std::int32_t baud) : entry_(unit), run_(unit), baud_(baud) {}

  // --- Commands (Pic18Commands.cpp) ---------------------------------------------------------
  /// The MCLR entry pulse of the mid-range parts: Vpp raised with PGC and PGD low.
  void Enter() { entry_.PicEnterProgramming(PicEntry::MclrPulse); }
  /// Command with its operand.
  void Put(pic18::Command command, std::uint16_t operand);
  /// A core instruction.
  void Instruction(std::uint16_t instruction) { Put(pic18::kCoreInstruction, instruction); }
  /// A read command (table read or shift out TABLAT): the chip's byte goes to *destination.
  void Read(pic18::Command command, std::uint8_t* destination);
  /// The NOP after a command that starts programming: its fourth clock held high for
  /// programMs (P9), then low for P10, then the operand 0.
  void ProgrammingNop(std::int32_t programMs);
  /// The NOP that carries a bulk erase: PGD held low for eraseMs (P11) and P10 after its command.
  void EraseNop(std::int32_t eraseMs);
  /// Idle samples for ms.
  void Idle(std::int32_t ms);
  /// Exchanges the run laid so far, stores the bytes of its reads and starts a new run.
  void Flush();

  // --- Memory routines (Pic18Memory.cpp) ----------------------------------------------------
  /// TBLPTR = address.
  void PointAt(std::uint32_t address);
  /// destination.size() bytes from address on (TBLRD*+), stored at the next Flush.
  void ReadBytes(std::uint32_t address, std::span<std::uint8_t> destination);
  /// Program memory or IDs: bytes (even, at most the write buffer) into the buffer from address on,
  /// then one programming cycle of programMs.
  void WriteBuffer(std::uint32_t address, std::span<const std::uint8_t> bytes, std::int32_t programMs);
  /// One configuration byte at address with its own programming cycle.
  void WriteConfigByte(std::uint32_t address, std::uint8_t value, std::int32_t programMs);
  /// Bulk erase with key, waiting eraseMs; exchanged at once.
  void BulkErase(std::uint16_t key, std::int32_t eraseMs);
  /// Data EEPROM location address into *destination, stored at the next Flush.
  void ReadData(std::uint16_t address, std::uint8_t* destination);
  /// Data EEPROM location address = value, waiting writeMs for the self-timed write.
  void WriteData(std::uint16_t address, std::uint8_t value, std::int32_t writeMs);

 private:
  struct PendingRead {
    std::uint32_t Mark;
    std::uint8_t* Destination;
  };
  /// Lays one sample; a full run is exchanged first.
  void PutSample(std::uint8_t sample);
  /// One clock: the bit while PGC is high, latched by the chip as PGC falls.
  void PutClock(bool one);
  /// Starts a new run unless samples more fit in this one.
  void Reserve(std::uint32_t samples);
  /// Samples that last at least micros.
  std::int32_t SamplesFor(std::int64_t micros) const;
  /// n copies of sample, over as many runs as needed.
  void Hold(std::uint8_t sample, std::int32_t n);
  /// EECON1's EEPGD and CFGS for the memory addressed next, writes enabled.
  void Select(bool programMemory, bool configuration);
  /// EEADRH:EEADR = address, for data EEPROM.
  void AddressData(std::uint16_t address);

  PICUtils entry_;
  SampleRun run_;
  std::int32_t baud_;
  std::vector<PendingRead> reads_;
};

}  // namespace pw
