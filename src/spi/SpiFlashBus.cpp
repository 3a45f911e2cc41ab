#include "spi/SpiFlashBus.h"

#include <algorithm>
#include <array>

#include "d2xx/Wiring.h"

namespace pw {
namespace {

using namespace wiring::spiflash;

constexpr std::uint8_t kReadId = 0x9F;
constexpr std::uint8_t kReadStatus = 0x05;
constexpr std::uint8_t kRead = 0x03;
constexpr std::uint8_t kEnterFourByte = 0xB7;
constexpr std::uint8_t kExitFourByte = 0xE9;
constexpr std::uint8_t kReadSfdp = 0x5A;
constexpr std::uint8_t kReleasePowerDown = 0xAB;
/// The datasheets' tRES1 is a few microseconds: the shortest wait the programmer makes covers it.
constexpr std::uint32_t kReleaseWaitMs = 1;
/// The samples a frame adds around its bytes: /CS high before, SCK low and /CS high after.
constexpr std::uint32_t kFrameEdges = 3;

/// The first poll after a command lasts half as long again as its typical time: a chip still
/// busy then costs another exchange, and in a batch of page programs the pages after it.
std::uint64_t FirstPollUs(SpiFlashWait wait) { return wait.TypicalUs * 3 / 2; }

}  // namespace

SpiFlashBus::SpiFlashBus(D2XXUnit& unit, std::int32_t baud, std::uint8_t busyMask)
    : unit_(unit), run_(unit), spi_(run_, {Mosi, Sck, Miso, 0}), baud_(std::max(baud, 1)), busyMask_(busyMask) {}

std::uint32_t SpiFlashBus::Frame(std::span<const std::uint8_t> bytes) {
  run_.Put(Cs);
  const std::uint32_t first = run_.Length();
  spi_.PutBytes(bytes);
  run_.Put(0);
  run_.Put(Cs);
  return first;
}

std::uint32_t SpiFlashBus::StatusFrame(std::uint32_t count) {
  run_.Put(Cs);
  spi_.PutByte(kReadStatus);
  for (std::uint32_t i = 0; i < count; ++i) spi_.PutByte(0);
  const std::uint32_t last = run_.Length() - SpiMode0::kSamplesPerByte;
  run_.Put(0);
  run_.Put(Cs);
  return last;
}

std::uint64_t SpiFlashBus::WireMicros(std::uint64_t samples) const {
  return samples * 1'000'000 / (16 * static_cast<std::uint64_t>(baud_));
}

std::uint32_t SpiFlashBus::StatusBytesFor(std::uint64_t us) const {
  // The command byte and one status byte at least; a run too full for them is refused when laid.
  const std::uint64_t free = SampleRun::kCapacity - std::min(run_.Length() + kFrameEdges, SampleRun::kCapacity);
  const std::uint64_t room = std::max<std::uint64_t>(free / SpiMode0::kSamplesPerByte, 2) - 1;
  // A status byte shows the register as it was when the byte before it ended: two more bytes
  // make the last one sampled after the time asked for.
  const std::uint64_t wanted = (us * static_cast<std::uint64_t>(baud_) + 999'999) / 1'000'000 + 2;
  return static_cast<std::uint32_t>(std::clamp<std::uint64_t>(wanted, 1, room));
}

JedecId SpiFlashBus::ReadId() {
  run_.Clear();
  const std::uint32_t first = Frame(std::array<std::uint8_t, 4>{kReadId, 0, 0, 0});
  run_.Exchange();
  JedecId id{};
  for (std::uint32_t i = 0; i < 3; ++i) id[i] = spi_.ReplyByte(first + (i + 1) * SpiMode0::kSamplesPerByte);
  return id;
}

void SpiFlashBus::ReleasePowerDown() {
  run_.Clear();
  Frame(std::array<std::uint8_t, 1>{kReleasePowerDown});
  run_.Exchange();
  unit_.Wait(kReleaseWaitMs);
}

std::uint8_t SpiFlashBus::ReadStatus() {
  run_.Clear();
  const std::uint32_t last = StatusFrame(1);
  run_.Exchange();
  return spi_.ReplyByte(last);
}

std::uint32_t SpiFlashBus::ReadBytes(std::size_t count, bool last) {
  const std::uint32_t first = run_.Length();
  for (std::size_t i = 0; i < count; ++i) spi_.PutByte(0);
  if (last) {
    run_.Put(0);
    run_.Put(Cs);
  }
  return first;
}

bool SpiFlashBus::EndRead(bool ended) {
  // A read may end after any byte: /CS rising ends the command.
  if (!ended) {
    ReadBytes(0, true);
    run_.Exchange();
    run_.Clear();
  }
  return false;
}

bool SpiFlashBus::Read(std::uint32_t address, std::span<std::uint8_t> out,
                       const std::function<bool(std::size_t)>& goOn) {
  return Stream(Addressed(kRead, address), out, goOn);
}

void SpiFlashBus::ReadSfdp(std::span<std::uint8_t> out) {
  // Address 0, then the dummy byte Read SFDP takes before its data.
  Stream(std::array<std::uint8_t, 5>{kReadSfdp, 0, 0, 0, 0}, out, {});
}

bool SpiFlashBus::Stream(std::span<const std::uint8_t> command, std::span<std::uint8_t> out,
                         const std::function<bool(std::size_t)>& goOn) {
  if (out.empty()) return true;
  run_.Clear();
  run_.Put(Cs);
  spi_.PutBytes(command);
  std::size_t done = 0;
  while (done < out.size()) {
    // Every exchange keeps room for the closing samples, so the last one can end the frame.
    const std::uint32_t room = (SampleRun::kCapacity - run_.Length() - 2) / SpiMode0::kSamplesPerByte;
    const std::size_t n = std::min<std::size_t>(room, out.size() - done);
    const std::uint32_t first = ReadBytes(n, done + n == out.size());
    run_.Exchange();
    for (std::size_t i = 0; i < n; ++i) {
      out[done + i] = spi_.ReplyByte(first + static_cast<std::uint32_t>(i) * SpiMode0::kSamplesPerByte);
    }
    done += n;
    run_.Clear();
    if (goOn && !goOn(done)) return EndRead(done == out.size());
  }
  return true;
}

bool SpiFlashBus::Write(std::span<const std::uint8_t> command, SpiFlashWait wait, std::uint8_t enable) {
  run_.Clear();
  if (enable != 0) Frame(std::array<std::uint8_t, 1>{enable});
  Frame(command);
  // The first poll rides in the same exchange and outlasts the typical time on the wire.
  const std::uint32_t statusAt = run_.Length();
  const std::uint32_t last = StatusFrame(StatusBytesFor(FirstPollUs(wait)));
  const std::uint64_t spentUs = WireMicros(run_.Length() - statusAt);
  run_.Exchange();
  return !Busy(spi_.ReplyByte(last)) || WaitReady(wait, spentUs);
}

bool SpiFlashBus::WaitReady(SpiFlashWait wait, std::uint64_t spentUs) {
  // Polls are paced by waits of an eighth of the typical time; the budget counts only the wire
  // time and the waits, never more than surely passed.
  const std::uint64_t pauseMs = wait.TypicalUs / 8000;
  for (;;) {
    if (spentUs > wait.MaximumUs) return false;
    if (pauseMs > 0) unit_.Wait(static_cast<std::uint32_t>(std::min<std::uint64_t>(pauseMs, 60'000)));
    run_.Clear();
    const std::uint32_t last = StatusFrame(StatusBytesFor(std::max<std::uint64_t>(wait.TypicalUs / 4, 1)));
    spentUs += pauseMs * 1000 + WireMicros(run_.Length());
    run_.Exchange();
    if (!Busy(spi_.ReplyByte(last))) return true;
  }
}

std::size_t SpiFlashBus::Program(std::span<const std::vector<std::uint8_t>> pages, SpiFlashWait wait,
                                 const std::function<bool()>& goOn) {
  return Send(pages, wait, goOn, true);
}

std::size_t SpiFlashBus::ProgramContinued(std::span<const std::vector<std::uint8_t>> frames, SpiFlashWait wait,
                                          const std::function<bool()>& goOn) {
  return Send(frames, wait, goOn, false);
}

SpiFlashBus::ProgramBatch SpiFlashBus::LayBatch(std::span<const std::vector<std::uint8_t>> pages, std::size_t& next,
                                                SpiFlashWait wait, bool enableEach) {
  ProgramBatch batch;
  do {
    if (enableEach) Frame(std::array<std::uint8_t, 1>{kWriteEnable});
    Frame(pages[next]);
    const std::uint32_t statusAt = run_.Length();
    if (batch.StatusBytes == 0) batch.StatusBytes = ProgramPollBytes(wait);
    batch.Polls.push_back(StatusFrame(batch.StatusBytes));
    batch.PollUs = WireMicros(run_.Length() - statusAt);
    ++next;
  } while (next < pages.size() && run_.Fits(kFrameEdges * 3 + (1 + pages[next].size() + 1 + batch.StatusBytes + 1) *
                                                                  SpiMode0::kSamplesPerByte));
  return batch;
}

std::size_t SpiFlashBus::Send(std::span<const std::vector<std::uint8_t>> pages, SpiFlashWait wait,
                              const std::function<bool()>& goOn, bool enableEach) {
  std::size_t next = 0;
  while (next < pages.size()) {
    if (next > 0 && goOn && !goOn()) return next;
    run_.Clear();
    const std::size_t first = next;
    const ProgramBatch batch = LayBatch(pages, next, wait, enableEach);
    run_.Exchange();
    for (std::size_t k = 0; k < batch.Polls.size(); ++k) {
      LearnProgramTime(wait, batch.Polls[k], batch.StatusBytes);
      if (!Busy(spi_.ReplyByte(batch.Polls[k]))) continue;
      if (!WaitReady(wait, batch.PollUs)) return first + k;
      next = first + k + 1;
      break;
    }
  }
  return pages.size();
}

std::uint32_t SpiFlashBus::ProgramPollBytes(SpiFlashWait wait) const {
  const std::uint32_t full = StatusBytesFor(FirstPollUs(wait));
  const ProgramPolls& seen = programPolls_;
  if (seen.TypicalUs != wait.TypicalUs || seen.MostBytes == 0 || seen.Outlasted) return full;
  // An eighth and two bytes more than the slowest program so far: a page a little slower still
  // ends within its poll, and the pages after it in the exchange need not be sent again.
  return std::min(full, seen.MostBytes + seen.MostBytes / 8 + 2);
}

void SpiFlashBus::LearnProgramTime(SpiFlashWait wait, std::uint32_t last, std::uint32_t count) {
  ProgramPolls& seen = programPolls_;
  if (seen.TypicalUs != wait.TypicalUs) seen = {wait.TypicalUs, 0, false};
  const std::uint32_t first = last - (count - 1) * SpiMode0::kSamplesPerByte;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (Busy(spi_.ReplyByte(first + i * SpiMode0::kSamplesPerByte))) continue;
    seen.MostBytes = std::max(seen.MostBytes, i + 1);
    return;
  }
  seen.Outlasted = true;
}

std::vector<std::uint8_t> SpiFlashBus::Addressed(std::uint8_t command, std::uint32_t address) const {
  const bool opcodes = fourByte_ == SpiFourByte::Opcodes;
  std::vector<std::uint8_t> bytes{opcodes ? SpiFourByteOpcode(command).value_or(command) : command};
  if (opcodes || inFourByte_) bytes.push_back(static_cast<std::uint8_t>(address >> 24));
  for (const int shift : {16, 8, 0}) bytes.push_back(static_cast<std::uint8_t>(address >> shift));
  return bytes;
}

bool SpiFlashBus::EnterFourByte(bool enter) {
  if (fourByte_ != SpiFourByte::EnterExit && fourByte_ != SpiFourByte::EnterExitAfterWriteEnable) return true;
  const std::uint8_t enable = fourByte_ == SpiFourByte::EnterExitAfterWriteEnable ? kWriteEnable : 0;
  // The mode changes at once; the poll after it only shows the chip took the command.
  const bool done = Write(std::array<std::uint8_t, 1>{enter ? kEnterFourByte : kExitFourByte}, {1, 1000}, enable);
  inFourByte_ = enter && done;
  return done;
}

}  // namespace pw
