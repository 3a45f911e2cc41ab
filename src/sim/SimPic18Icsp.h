#pragma once
/// @file
/// The serial side of a PIC18 in programming mode: a 4-bit command, then a 16-bit operand, both
/// least significant bit first and taken on the falling clock edge. In a read the first 8
/// operand clocks are input and the chip drives bit i of its byte from the rising edge of clock
/// 9 + i, letting go at the 16th falling edge.

#include <cstdint>
#include <optional>

namespace pw::sim {

class SimPic18Icsp {
 public:
  /// What a clock sample completed.
  struct Event {
    enum Kind {
      Nothing,
      /// The 4th clock of a command rose: a programming cycle runs while it stays high.
      FourthRise,
      /// A command's 4 bits are in (Value); its operand follows.
      Command,
      /// An operand's 16 bits are in (Value).
      Operand,
      /// The first rising edge of an operand (the end of an erase hold).
      OperandStart,
    } What = Nothing;
    std::uint16_t Value = 0;
  };

  /// Starts afresh (entry into programming mode) with the clock at level pgc.
  void Reset(bool pgc);
  /// One sample: pgc and the level the programmer leaves on PGD.
  Event Clock(bool pgc, bool pgd);
  /// The operand now starting shifts byte out in its last 8 clocks.
  void SendByte(std::uint8_t byte) { out_ = byte; }
  /// What the chip drives on PGD now (nothing: it is an input).
  std::optional<bool> Drive() const { return drive_; }

 private:
  Event Rise();
  Event Fall(bool pgd);

  bool inOperand_ = false;
  bool prevPgc_ = false;
  int clocks_ = 0;
  std::uint16_t shift_ = 0;
  std::optional<std::uint8_t> out_;
  std::optional<bool> drive_;
};

}  // namespace pw::sim
