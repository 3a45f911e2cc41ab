#pragma once
/// @file
/// The commands of a 25-series SPI flash on the AVR header, laid as SPI mode 0 with /CS framing
/// (wiring in d2xx/Wiring.h). Every frame starts and ends with /CS high, and /CS rises only with
/// SCK low after whole bytes, so the chip carries the command out. Reads stream: one Read command
/// runs over as many exchanges as it needs, each filled with as many bytes as the sample buffers
/// hold, /CS held low between them.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "link/D2xxUnit.h"
#include "link/SampleRun.h"
#include "link/SpiMode0.h"
#include "spi/SpiFlashTypes.h"

namespace pw {

/// How long a command may keep the chip busy, in microseconds.
struct SpiFlashWait {
  std::uint64_t TypicalUs = 0;
  std::uint64_t MaximumUs = 0;
};

/// A type's time in milliseconds or microseconds as a wait.
inline SpiFlashWait WaitMs(SpiFlashTime t) {
  return {std::uint64_t{t.Typical} * 1000, std::uint64_t{t.Maximum} * 1000};
}
inline SpiFlashWait WaitUs(SpiFlashTime t) { return {t.Typical, t.Maximum}; }

class SpiFlashBus {
 public:
  /// baud: the programmer's baud value; the wire time of a sample is 1 / (16 × baud), which
  /// the status polling counts against a command's maximum time.
  SpiFlashBus(D2XXUnit& unit, std::int32_t baud, std::uint8_t busyMask);

  JedecId ReadId();
  /// Release from Deep Power-down (0xAB), then the wait before the chip takes commands again.
  void ReleasePowerDown();
  std::uint8_t ReadStatus();
  /// Reads out.size() bytes from address on. goOn(done), when given, is asked after every
  /// exchange (a few KiB) whether to read on: the read ends there (the frame closed) and returns
  /// false when it says no.
  bool Read(std::uint32_t address, std::span<std::uint8_t> out, const std::function<bool(std::size_t)>& goOn);
  /// enable (Write Enable unless told; 0: none), then command (a whole frame), then Read Status
  /// until the chip is no longer busy. False when it is still busy after wait.MaximumUs: the chip
  /// has not finished.
  bool Write(std::span<const std::uint8_t> command, SpiFlashWait wait, std::uint8_t enable = kWriteEnable);
  /// Reads out.size() bytes of the SFDP area (Read SFDP, 0x5A) from address 0.
  void ReadSfdp(std::span<std::uint8_t> out);
  /// Page programs, each a whole frame, as many to an exchange as the buffers hold, each with
  /// its Write Enable before and its status poll after. A page whose poll still saw the chip
  /// busy is waited for as Write does, and the pages after it in that exchange are sent again
  /// (a busy chip ignored them; programming a page twice with the same bytes changes nothing).
  /// Returns how many pages finished: all of them, or up to the one that outlasted wait, or up
  /// to where goOn(), when given and asked before every exchange but the first, said no.
  std::size_t Program(std::span<const std::vector<std::uint8_t>> pages, SpiFlashWait wait,
                      const std::function<bool()>& goOn = {});
  /// As Program, without the Write Enables: the continuing commands of an auto-address-increment
  /// sequence, which a busy chip ignores as it ignores page programs.
  std::size_t ProgramContinued(std::span<const std::vector<std::uint8_t>> frames, SpiFlashWait wait,
                               const std::function<bool()>& goOn = {});

  /// How commands carrying an address address the chip from now on.
  void SetFourByte(SpiFourByte mode) { fourByte_ = mode; }
  /// command with address: four address bytes, and the command's 4-byte form with
  /// SpiFourByte::Opcodes, when the chip takes four; three otherwise.
  std::vector<std::uint8_t> Addressed(std::uint8_t command, std::uint32_t address) const;
  /// Puts a chip whose type enters 4-byte mode into it (B7), or takes it back out (E9); nothing
  /// for other chips. False when the chip stayed busy.
  bool EnterFourByte(bool enter);

  static constexpr std::uint8_t kWriteEnable = 0x06;

  /// Bytes of a streamed read per exchange, once the command is sent.
  static constexpr std::uint32_t kReadBytesPerExchange = (SampleRun::kCapacity - 2) / SpiMode0::kSamplesPerByte;

 private:
  /// Lays one frame: /CS high, /CS low with bytes, SCK low, /CS high. Returns the index of its first byte.
  std::uint32_t Frame(std::span<const std::uint8_t> bytes);
  /// Sends command (with its address) and streams out.size() bytes after it, as Read describes.
  bool Stream(std::span<const std::uint8_t> command, std::span<std::uint8_t> out,
              const std::function<bool(std::size_t)>& goOn);
  /// Lays count dummy bytes of a streamed read, and the frame's end when last; returns the index of the first.
  std::uint32_t ReadBytes(std::size_t count, bool last);
  /// Ends a streamed read cut short (unless its frame has ended); returns false.
  bool EndRead(bool ended);
  /// Lays a Read Status frame with count status bytes; returns the index of the last one.
  std::uint32_t StatusFrame(std::uint32_t count);
  /// Status bytes that take about us on the wire, within what the run still holds.
  std::uint32_t StatusBytesFor(std::uint64_t us) const;
  /// Polls after a status byte that showed the chip busy, spentUs after the command ended.
  bool WaitReady(SpiFlashWait wait, std::uint64_t spentUs);
  std::uint64_t WireMicros(std::uint64_t samples) const;
  bool Busy(std::uint8_t status) const { return (status & busyMask_) != 0; }
  std::size_t Send(std::span<const std::vector<std::uint8_t>> frames, SpiFlashWait wait,
                   const std::function<bool()>& goOn, bool enableEach);
  /// The program commands of one exchange: where each one's poll ends, and how many status bytes
  /// (lasting PollUs on the wire) each poll has.
  struct ProgramBatch {
    std::vector<std::uint32_t> Polls;
    std::uint32_t StatusBytes = 0;
    std::uint64_t PollUs = 0;
  };
  /// Lays the frames of pages from next on (moving next past them), each with its Write Enable
  /// when enableEach and its poll, as many as the run holds.
  ProgramBatch LayBatch(std::span<const std::vector<std::uint8_t>> pages, std::size_t& next, SpiFlashWait wait,
                        bool enableEach);
  /// Status bytes of the poll after each program command of the next exchange.
  std::uint32_t ProgramPollBytes(SpiFlashWait wait) const;
  /// Learns from the poll of count status bytes ending at last how long a program took.
  void LearnProgramTime(SpiFlashWait wait, std::uint32_t last, std::uint32_t count);

  /// How many status bytes the program commands of a write have needed until one showed the chip
  /// ready, at most; once a poll that short saw it still busy, the typical time rules again.
  struct ProgramPolls {
    std::uint64_t TypicalUs = 0;
    std::uint32_t MostBytes = 0;
    bool Outlasted = false;
  };
  ProgramPolls programPolls_;

  D2XXUnit& unit_;
  SampleRun run_;
  SpiMode0 spi_;
  std::int32_t baud_;
  std::uint8_t busyMask_;
  SpiFourByte fourByte_ = SpiFourByte::None;
  bool inFourByte_ = false;
};

}  // namespace pw
