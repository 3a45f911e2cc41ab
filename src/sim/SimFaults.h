#pragma once
/// @file
/// Faults the virtual programmer can be told to show: a failing call, a short read, a device
/// that is pulled out mid-operation.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "d2xx/D2xx.h"

namespace pw::sim {

/// The D2XX calls, for counting and failing them.
enum class SimCall {
  ListDevices,
  Open,
  Close,
  Read,
  Write,
  SetBaudRate,
  SetTimeouts,
  SetBitMode,
  EeRead,
  EeProgram,
  Count
};

/// The call's name as a bench file writes it ("Write", "SetBitMode", ...); nothing for an unknown name.
std::optional<SimCall> SimCallNamed(const std::string& name);

class SimFaults {
 public:
  /// The occurrence-th call (1 = the first) of call returns status and does nothing else.
  void FailCall(SimCall call, std::uint32_t occurrence, FT_STATUS status);
  /// The occurrence-th read returns at most bytes bytes.
  void ShortRead(std::uint32_t occurrence, std::uint32_t bytes);
  /// The device goes away once this many samples have been clocked out in all.
  void UnplugAfter(std::uint64_t samples) { unplugAfter_ = samples; }
  /// The device goes away once this many EEPROM words have been programmed in all.
  void UnplugAfterEepromWords(std::uint32_t words) { unplugAfterEepromWords_ = words; }
  /// A worn EEPROM cell: programming leaves word index (0..63) as it was.
  void KeepEepromWord(std::uint32_t index) { keptEepromWord_ = index; }
  /// The device goes away at its n-th control transfer (1 = the first); only a device on the
  /// virtual USB bus has control transfers.
  void UnplugAtControl(std::uint32_t n) { unplugAtControl_ = n; }
  /// Another process holds the device: opening it (claiming its interface on USB) fails.
  void Busy(bool busy) { busy_ = busy; }

  /// Counts a call; returns the status to fail it with, or FT_OK.
  FT_STATUS Count(SimCall call);
  /// How many bytes the read being made may return at most (reads are counted by Count).
  std::uint32_t ReadLimit(std::uint32_t wanted) const;
  std::optional<std::uint64_t> UnplugAfter() const { return unplugAfter_; }
  std::optional<std::uint32_t> UnplugAfterEepromWords() const { return unplugAfterEepromWords_; }
  std::optional<std::uint32_t> KeptEepromWord() const { return keptEepromWord_; }
  std::optional<std::uint32_t> UnplugAtControl() const { return unplugAtControl_; }
  bool Busy() const { return busy_; }
  /// How often call was made.
  std::uint32_t Calls(SimCall call) const { return counts_[static_cast<std::size_t>(call)]; }

 private:
  struct Failure {
    SimCall Call;
    std::uint32_t Occurrence;
    FT_STATUS Status;
  };
  struct Short {
    std::uint32_t Occurrence;
    std::uint32_t Bytes;
  };
  std::vector<Failure> failures_;
  std::vector<Short> shortReads_;
  std::optional<std::uint64_t> unplugAfter_;
  std::optional<std::uint32_t> unplugAfterEepromWords_;
  std::optional<std::uint32_t> keptEepromWord_;
  std::optional<std::uint32_t> unplugAtControl_;
  bool busy_ = false;
  std::array<std::uint32_t, static_cast<std::size_t>(SimCall::Count)> counts_{};
};

}  // namespace pw::sim
