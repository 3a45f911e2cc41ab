#include "sim/SimSpiFlash.h"

#include <algorithm>

#include "sim/SimSfdp.h"

namespace pw::sim {
namespace {

constexpr std::uint8_t kWip = 0x01;
constexpr std::uint8_t kWel = 0x02;
/// Status bits a Write Status can set besides protection: the status-register protect bit.
constexpr std::uint8_t kSrp = 0x80;
/// The most a page program frame keeps: command, address and one page.
constexpr std::size_t kPage = 256;

}  // namespace

SimSpiFlash::SimSpiFlash(const SimSpiFlashPart& part)
    : part_(part), memory_(part.Size, 0xFF), sfdp_(part.Sfdp ? SimSfdpArea(part) : std::vector<std::uint8_t>{}) {
  frame_.reserve(4 + kPage);
}

std::uint8_t SimSpiFlash::Status(const SimEnvironment& env) const {
  return static_cast<std::uint8_t>(status_ | (wel_ ? kWel : 0) | (Busy(env) ? kWip : 0));
}

std::optional<bool> SimSpiFlash::Step(bool cs, bool sck, bool mosi, const SimEnvironment& env) {
  if (cs) {
    if (selected_) EndFrame(env);
    selected_ = false;
    return std::nullopt;
  }
  if (!selected_) {
    selected_ = true;
    driving_ = false;
    sckHigh_ = false;
    out_.reset();
    frame_.clear();
    spi_.Reset();
  }
  const bool falling = sckHigh_ && !sck;
  sckHigh_ = sck;
  if (const auto byte = spi_.Clock(sck, mosi)) OnByte(*byte, env);
  // DO changes on falling edges only: a command ending on a rising edge lets go of DO at the next fall.
  if (falling) out_ = driving_ ? std::optional(spi_.Miso()) : std::nullopt;
  return out_;
}

std::uint32_t SimSpiFlash::Address() const {
  return ((static_cast<std::uint32_t>(frame_[1]) << 16) | (frame_[2] << 8) | frame_[3]) & (part_.Size - 1);
}

void SimSpiFlash::OnByte(std::uint8_t byte, const SimEnvironment& env) {
  const std::size_t count = frame_.size() + 1;
  if (frame_.size() < 4 + kPage) {
    frame_.push_back(byte);
  } else {
    // A page program longer than a page: the page buffer keeps the last 256 bytes sent.
    std::rotate(frame_.begin() + 4, frame_.begin() + 5, frame_.end());
    frame_.back() = byte;
  }
  const std::uint8_t command = frame_[0];
  if (command == 0x05) {
    driving_ = true;
    spi_.SetNext(Status(env));
    return;
  }
  if (Busy(env)) return;
  if (command == 0x9F) {
    driving_ = count <= 3;
    if (driving_) spi_.SetNext(part_.Id[count - 1]);
  } else if (command == 0x5A && count >= 5) {
    SfdpByte(count);
  } else if (command == 0x03 && count >= 4) {
    if (count == 4) readAt_ = Address();
    driving_ = true;
    spi_.SetNext(memory_[readAt_]);
    readAt_ = (readAt_ + 1) & (part_.Size - 1);
  }
}

void SimSpiFlash::SfdpByte(std::size_t count) {
  // Three address bytes and a dummy byte, then the area (0xFF beyond it).
  if (count == 5) readAt_ = (static_cast<std::uint32_t>(frame_[1]) << 16) | (frame_[2] << 8) | frame_[3];
  driving_ = !sfdp_.empty();
  spi_.SetNext(readAt_ < sfdp_.size() ? sfdp_[readAt_] : std::uint8_t{0xFF});
  ++readAt_;
}

void SimSpiFlash::EndFrame(const SimEnvironment& env) {
  driving_ = false;
  // A frame cut inside a byte counts for nothing; so does any command while the chip is busy.
  if (!spi_.AtByteBoundary() || frame_.empty() || Busy(env)) return;
  Execute(env);
}

void SimSpiFlash::Execute(const SimEnvironment& env) {
  const std::uint8_t command = frame_[0];
  const std::size_t n = frame_.size();
  if (command == 0x06 && n == 1) wel_ = true;
  if (command == 0x04 && n == 1) wel_ = false;
  if (!wel_) return;
  const bool locked = (status_ & part_.ProtectBits) != 0;
  if (command == 0x01 && n == 2) {
    status_ = frame_[1] & (part_.ProtectBits | kSrp);
    wel_ = false;
    StartBusy(std::uint64_t{kSimSpiStatusWriteUs} * kPicosPerMicro, env);
  } else if (command == 0x02 && n >= 5) {
    if (!locked) Program(env);
    wel_ = false;
  } else if (command == 0x20 && n == 4 && part_.SectorBytes != 0) {
    if (!locked) Erase(Address(), part_.SectorBytes, part_.SectorEraseMs, env);
    wel_ = false;
  } else if (command == 0xD8 && n == 4) {
    if (!locked) Erase(Address(), 64 * 1024, part_.BlockEraseMs, env);
    wel_ = false;
  } else if ((command == 0xC7 || command == 0x60) && n == 1) {
    if (!locked) Erase(0, part_.Size, part_.ChipEraseMs, env);
    wel_ = false;
  }
}

void SimSpiFlash::Erase(std::uint32_t first, std::uint32_t bytes, std::uint32_t ms, const SimEnvironment& env) {
  const std::uint32_t start = first & ~(bytes - 1);
  std::fill(memory_.begin() + start, memory_.begin() + start + std::min(bytes, part_.Size), std::uint8_t{0xFF});
  if (bytes < part_.Size) ++sectorErases_;
  StartBusy(std::uint64_t{ms} * kPicosPerMilli, env);
}

void SimSpiFlash::Program(const SimEnvironment& env) {
  const std::uint32_t address = Address();
  const std::uint32_t page = address & ~static_cast<std::uint32_t>(kPage - 1);
  const std::size_t count = part_.ByteProgram ? 1 : frame_.size() - 4;
  for (std::size_t i = 0; i < count; ++i) {
    // Inside its page the address wraps; programming only clears bits.
    const std::uint32_t at = page + ((address + static_cast<std::uint32_t>(i)) & (kPage - 1));
    memory_[at] &= frame_[4 + i];
  }
  ++pagePrograms_;
  StartBusy(std::uint64_t{part_.PageProgramUs} * kPicosPerMicro, env);
}

void SimSpiFlash::StartBusy(std::uint64_t picos, const SimEnvironment& env) {
  busyUntil_ = hang_ ? ~SimTime{0} : env.Timing == TimingModel::Datasheet ? env.Now + picos : env.Now;
}

void SimSpiFlash::PowerOff() {
  selected_ = false;
  driving_ = false;
  out_.reset();
  wel_ = false;
  frame_.clear();
  spi_.Reset();
}

}  // namespace pw::sim
