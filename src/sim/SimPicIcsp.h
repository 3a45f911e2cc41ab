#pragma once
/// @file
/// The serial side of a PIC in programming mode: 6-bit commands and 16-clock data frames, least
/// significant bit first, taken on the falling clock edge; in a read frame the chip drives PGD
/// from the 2nd to the 15th rising edge (14 data bits) and lets go at the 16th.

#include <cstdint>
#include <optional>

namespace pw::sim {

class SimPicIcsp {
 public:
  /// What a clock sample completed.
  struct Completed {
    enum Kind { Nothing, Command, Data } What = Nothing;
    /// The command (0..63) or the 14 data bits of a frame.
    std::uint16_t Value = 0;
  };

  /// Starts afresh (entry into programming mode) with the clock at level pgc.
  void Reset(bool pgc);
  /// One sample: pgc and the level of PGD as the programmer leaves it.
  Completed Clock(bool pgc, bool pgd);
  /// The next 16 clocks are a data frame to take in.
  void ExpectData();
  /// The next 16 clocks read word out; nothing: the chip does not drive PGD during them.
  void SendWord(std::optional<std::uint16_t> word);
  /// What the chip drives on PGD now (nothing: it is an input).
  std::optional<bool> Drive() const { return drive_; }

 private:
  enum class Mode { Command, DataIn, DataOut };
  Completed Fall(bool pgd);
  Completed FallInCommand(bool pgd);
  Completed FallInData(bool pgd);
  /// A command or frame is complete: the next clocks count from 0 in mode next, PGD released.
  void Finish(Mode next);
  void Rise();

  Mode mode_ = Mode::Command;
  bool prevPgc_ = false;
  int clocks_ = 0;
  std::uint16_t shift_ = 0;
  std::optional<std::uint16_t> out_;
  std::optional<bool> drive_;
};

}  // namespace pw::sim
