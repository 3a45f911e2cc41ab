#include "sim/SimSpiFlash.h"

#include <algorithm>

#include "sim/SimSfdp.h"

namespace pw::sim {
namespace {

constexpr std::uint8_t kWip = 0x01;
constexpr std::uint8_t kWel = 0x02;
/// Status bit 6 of auto-address-increment parts: a sequence runs.
constexpr std::uint8_t kAaiBit = 0x40;
/// Status bits a Write Status can set besides protection: the status-register protect bit.
constexpr std::uint8_t kSrp = 0x80;
constexpr std::uint8_t kAaiWord = 0xAD;

bool IsRead(std::uint8_t command) { return command == 0x03 || command == 0x13; }
bool IsProgram(std::uint8_t command) { return command == 0x02 || command == 0x12; }

}  // namespace

SimSpiFlash::SimSpiFlash(const SimSpiFlashPart& part)
    : part_(part), memory_(part.Size, 0xFF), sfdp_(part.Sfdp ? SimSfdpArea(part) : std::vector<std::uint8_t>{}) {
  frame_.reserve(5 + part.PageBytes);
}

std::uint8_t SimSpiFlash::Status(const SimEnvironment& env) const {
  return static_cast<std::uint8_t>(status_ | (wel_ ? kWel : 0) | (Busy(env) ? kWip : 0) | (aai_ ? kAaiBit : 0));
}

std::optional<bool> SimSpiFlash::Step(bool cs, bool sck, bool mosi, const SimEnvironment& env) {
  powerUp_.Step(env);
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

std::size_t SimSpiFlash::AddressBytes(std::uint8_t command) const {
  switch (command) {
    case 0x13:
    case 0x12:
    case 0x21:
    case 0xDC:
      return part_.Opcodes4 ? 4 : 0;
    case 0x03:
    case 0x02:
    case 0x20:
    case 0xD8:
    case kAaiWord:
      return fourByte_ ? 4 : 3;
    default:
      return 0;
  }
}

std::uint32_t SimSpiFlash::Address() const {
  // In 3-byte mode the address bits above the three bytes are 0: only the low 16 MiB is reached.
  std::uint32_t address = 0;
  for (std::size_t i = 1; i <= AddressBytes(frame_[0]); ++i) address = (address << 8) | frame_[i];
  return address & (part_.Size - 1);
}

void SimSpiFlash::Keep(std::uint8_t byte) {
  const std::size_t header = frame_.empty() ? 1 : 1 + AddressBytes(frame_[0]);
  if (frame_.size() < header + part_.PageBytes) {
    frame_.push_back(byte);
    return;
  }
  // A page program longer than a page: the page buffer keeps the last page of bytes sent.
  std::rotate(frame_.begin() + static_cast<std::ptrdiff_t>(header),
              frame_.begin() + static_cast<std::ptrdiff_t>(header) + 1, frame_.end());
  frame_.back() = byte;
}

void SimSpiFlash::OnByte(std::uint8_t byte, const SimEnvironment& env) {
  const std::size_t count = frame_.size() + 1;
  Keep(byte);
  const std::uint8_t command = frame_[0];
  if (command == 0x05) {
    driving_ = true;
    spi_.SetNext(Status(env));
    return;
  }
  if (Busy(env) || aai_) return;
  const std::size_t address = AddressBytes(command);
  if (command == 0x9F) {
    driving_ = count <= 3;
    if (driving_) spi_.SetNext(part_.Id[count - 1]);
  } else if (command == 0x5A && count >= 5) {
    SfdpByte(count);
  } else if (IsRead(command) && address != 0 && count >= 1 + address) {
    // From the second call on, a memory byte has just been clocked out.
    if (count == 1 + address) readAt_ = Address();
    if (count > 1 + address) ++bytesRead_;
    StreamRead();
  }
}

void SimSpiFlash::StreamRead() {
  driving_ = true;
  spi_.SetNext(stuck_.Apply(readAt_, memory_[readAt_]));
  readAt_ = (readAt_ + 1) & (part_.Size - 1);
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
  const bool ewsr = ewsr_;
  ewsr_ = false;
  if (aai_) return ExecuteAai(env);
  if (command == 0x06 && n == 1) wel_ = true;
  if (command == 0x04 && n == 1) wel_ = false;
  if (command == 0x50 && n == 1 && part_.ByteProgram) ewsr_ = true;
  if (ExecuteMode()) return;
  if (command == 0x01 && n == 2 && (wel_ || ewsr)) {
    status_ = frame_[1] & (part_.ProtectBits | kSrp);
    wel_ = false;
    StartBusy(std::uint64_t{kSimSpiStatusWriteUs} * kPicosPerMicro, env);
  }
  if (wel_) ExecuteWrite(env);
}

bool SimSpiFlash::ExecuteMode() {
  const std::uint8_t command = frame_[0];
  if ((command != 0xB7 && command != 0xE9) || frame_.size() != 1 || part_.Enter4 == SimEnter4::None) return false;
  if (part_.Enter4 == SimEnter4::B7AfterWel) {
    if (!wel_) return true;
    wel_ = false;
  }
  fourByte_ = command == 0xB7;
  ++modeCommands_;
  return true;
}

void SimSpiFlash::ExecuteWrite(const SimEnvironment& env) {
  const std::uint8_t command = frame_[0];
  const std::size_t n = frame_.size();
  const std::size_t header = 1 + AddressBytes(command);
  const bool locked = (status_ & part_.ProtectBits) != 0;
  if (IsProgram(command) && header > 1 && n > header) {
    if (!locked) Program(env);
    wel_ = false;
  } else if (command == kAaiWord && part_.ByteProgram && n == header + 2 && !locked) {
    aai_ = true;
    aaiAt_ = Address() & ~1u;
    AaiWord(header, env);
  } else if (ExecuteErase(env)) {
    wel_ = false;
  }
}

bool SimSpiFlash::ExecuteErase(const SimEnvironment& env) {
  const std::uint8_t command = frame_[0];
  const std::size_t n = frame_.size();
  const std::size_t address = AddressBytes(command);
  const bool locked = (status_ & part_.ProtectBits) != 0;
  const bool sector = (command == 0x20 || command == 0x21) && address != 0 && n == 1 + address && part_.SectorBytes;
  const bool block = (command == 0xD8 || command == 0xDC) && address != 0 && n == 1 + address;
  const bool chip = (command == 0xC7 || command == 0x60) && n == 1;
  if (locked || !(sector || block || chip)) return sector || block || chip;
  if (sector) Erase(Address(), part_.SectorBytes, part_.SectorEraseMs, env);
  if (block) Erase(Address(), part_.BlockBytes, part_.BlockEraseMs, env);
  if (chip) Erase(0, part_.Size, part_.ChipEraseMs, env);
  return true;
}

void SimSpiFlash::ExecuteAai(const SimEnvironment& env) {
  // Inside a sequence only a continuing word and Write Disable count.
  const std::uint8_t command = frame_[0];
  if (command == 0x04 && frame_.size() == 1) {
    aai_ = false;
    wel_ = false;
    return;
  }
  if (command == kAaiWord && frame_.size() == 3) AaiWord(1, env);
}

void SimSpiFlash::AaiWord(std::size_t header, const SimEnvironment& env) {
  memory_[aaiAt_] &= frame_[header];
  memory_[aaiAt_ + 1] &= frame_[header + 1];
  aaiAt_ += 2;
  // At the top address the sequence ends by itself.
  if (aaiAt_ >= part_.Size) aai_ = wel_ = false;
  ++pagePrograms_;
  StartBusy(std::uint64_t{part_.PageProgramUs} * kPicosPerMicro, env);
}

void SimSpiFlash::Erase(std::uint32_t first, std::uint32_t bytes, std::uint32_t ms, const SimEnvironment& env) {
  const std::uint32_t start = first & ~(bytes - 1);
  std::fill(memory_.begin() + start, memory_.begin() + start + std::min(bytes, part_.Size), std::uint8_t{0xFF});
  if (bytes < part_.Size) ++sectorErases_;
  StartBusy(std::uint64_t{ms} * kPicosPerMilli, env);
}

void SimSpiFlash::Program(const SimEnvironment& env) {
  const std::uint32_t address = Address();
  const std::uint32_t pageBytes = part_.PageBytes;
  const std::uint32_t page = address & ~(pageBytes - 1);
  const std::size_t header = 1 + AddressBytes(frame_[0]);
  const std::size_t count = part_.ByteProgram ? 1 : frame_.size() - header;
  for (std::size_t i = 0; i < count; ++i) {
    // Inside its page the address wraps; programming only clears bits.
    const std::uint32_t at = page + ((address + static_cast<std::uint32_t>(i)) & (pageBytes - 1));
    memory_[at] &= frame_[header + i];
  }
  ++pagePrograms_;
  StartBusy(std::uint64_t{part_.PageProgramUs} * kPicosPerMicro, env);
}

void SimSpiFlash::StartBusy(std::uint64_t picos, const SimEnvironment& env) {
  busyUntil_ = hang_ ? ~SimTime{0} : env.Timing == TimingModel::Datasheet ? env.Now + picos : env.Now;
}

void SimSpiFlash::PowerOff() {
  // Power comes back in 3-byte mode, with no sequence running and the latches clear.
  selected_ = false;
  driving_ = false;
  out_.reset();
  wel_ = false;
  ewsr_ = false;
  fourByte_ = false;
  aai_ = false;
  frame_.clear();
  spi_.Reset();
  powerUp_.PowerOff();
}

}  // namespace pw::sim
