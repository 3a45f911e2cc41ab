#include "sim/SimAvr.h"

namespace pw::sim {
namespace {

constexpr std::uint8_t kEnable1 = 0xAC;
constexpr std::uint8_t kEnable2 = 0x53;
/// The datasheets' wait between RESET going low and Programming Enable.
constexpr SimTime kEntryDelay = 20 * kPicosPerMilli;
/// Fed to an external clock or crystal setting when the bench says nothing: a board made for a
/// part whose factory fuses select one carries it.
constexpr std::uint32_t kFittedClockHz = 16'000'000;
/// The flash words a 16-bit word address reaches; beyond them the extended address byte counts.
constexpr std::uint32_t kBankWords = 0x10000;

bool Programmed(const std::array<std::uint8_t, 3>& fuses, const std::optional<SimFuseBit>& bit) {
  return bit && ((fuses[bit->Fuse] >> bit->Bit) & 1) == 0;
}

}  // namespace

SimAvr::SimAvr(const SimAvrPart& part) : core_(part) {
  boardClockHz_ = SimCpuClockHz(part, part.FactoryFuses, 0) == 0 ? kFittedClockHz : 0;
}

void SimAvr::Start() {
  // The fuses take effect when the chip starts: RESET released, or power applied.
  const auto& fuses = core_.Fuses();
  resetPinTaken_ = Programmed(fuses, core_.Part().Rstdisbl) || Programmed(fuses, core_.Part().Dwen);
  cpuHz_ = SimCpuClockHz(core_.Part(), fuses, boardClockHz_);
  started_ = true;
}

bool SimAvr::SckTooFast(bool sck, const SimEnvironment& env) {
  if (sck == lastSck_) return false;
  lastSck_ = sck;
  // SCK high and low must each last more than 2 CPU clocks (3 from 12 MHz on).
  const SimTime cycles = cpuHz_ >= 12'000'000 ? 3 : 2;
  const bool tooShort = env.Now - lastEdgeAt_ <= cycles * 1'000'000'000'000ull / cpuHz_;
  lastEdgeAt_ = env.Now;
  return tooShort;
}

std::optional<bool> SimAvr::Step(bool reset, bool sck, bool mosi, const SimEnvironment& env) {
  if (!started_) Start();
  if (reset) {
    // Released, the chip runs its program: the programming interface lets go of MISO.
    if (heldInReset_) Start();
    heldInReset_ = false;
    return std::nullopt;
  }
  // RESET is an I/O or debugWIRE pin now, and without a clock the interface does nothing.
  if (resetPinTaken_ || cpuHz_ == 0) return std::nullopt;
  if (silentAfter_ && bytesTaken_ >= *silentAfter_) return std::nullopt;
  if (!heldInReset_) EnterReset(env);
  // A phase shorter than the chip can follow garbles the bit the next rising edge takes.
  if (SckTooFast(sck, env)) garbled_ = true;
  const bool taken = garbled_ ? !mosi : mosi;
  if (sck) garbled_ = false;
  if (const auto byte = spi_.Clock(sck, taken)) OnByte(*byte, env);
  // MISO is taken or let go only while SCK is low, as the shift register changes: the programmer
  // samples it where SCK rises.
  if (!sck) driving_ = Answering();
  if (!driving_) return std::nullopt;
  return spi_.Miso();
}

bool SimAvr::Answering() const {
  // Out of programming mode the chip answers only a Programming Enable it has framed correctly:
  // the echo of its first byte, and once the second is in step, the rest.
  return enabled_ || entering_ || (count_ == 1 && frame_[0] == kEnable1);
}

void SimAvr::EnterReset(const SimEnvironment& env) {
  heldInReset_ = true;
  resetAt_ = env.Now;
  enabled_ = false;
  entering_ = false;
  driving_ = false;
  count_ = 0;
  extendedAddress_ = 0;
  spi_.Reset();
}

void SimAvr::PowerOff() {
  started_ = false;
  heldInReset_ = false;
  enabled_ = false;
  entering_ = false;
  driving_ = false;
  count_ = 0;
  spi_.Reset();
  core_.ResetBuffers();
}

std::vector<SimMemory> SimAvr::Memories() {
  return {{"Flash", &core_.Flash}, {"Eeprom", &core_.Eeprom}, {"FuseFile", &core_.FusesAndLock}};
}

void SimAvr::OnByte(std::uint8_t byte, const SimEnvironment& env) {
  ++bytesTaken_;
  frame_[static_cast<std::size_t>(count_++)] = byte;
  if (count_ == 2) entering_ = frame_[0] == kEnable1 && frame_[1] == kEnable2 && SettledSinceReset(env);
  if (count_ == 3 && enabled_) {
    if (const auto data = ReadData(env)) spi_.SetNext(*data);
  }
  if (count_ == 4) {
    Execute(env);
    count_ = 0;
  }
}

bool SimAvr::SettledSinceReset(const SimEnvironment& env) const {
  return env.Timing == TimingModel::Lenient || env.Now - resetAt_ >= kEntryDelay;
}

std::uint32_t SimAvr::Address() const { return static_cast<std::uint32_t>(frame_[1] << 8) | frame_[2]; }

std::uint32_t SimAvr::FlashAddress() const { return (static_cast<std::uint32_t>(extendedAddress_) << 16) | Address(); }

std::optional<std::uint8_t> SimAvr::ReadData(const SimEnvironment& env) const {
  const std::uint8_t op = frame_[0];
  const std::uint8_t sub = frame_[1];
  switch (op) {
    case 0x30:
      return damagedSignature_ ? frame_[2] : core_.ReadSignature(frame_[2] & 0x03);
    case 0x38:
      return core_.ReadCalibration(frame_[2]);
    case 0x50:
      if (sub == 0x00) return core_.ReadFuse(0, env);
      if (sub == 0x08) return core_.ReadFuse(2, env);
      return std::nullopt;
    case 0x58:
      if (sub == 0x00) return core_.ReadLock(env);
      if (sub == 0x08) return core_.ReadFuse(1, env);
      return std::nullopt;
    case 0x20:
    case 0x28:
      return core_.ReadFlash(FlashAddress(), op == 0x28, env);
    case 0xA0:
      return core_.ReadEeprom(Address(), env);
    case 0xF0:
      return static_cast<std::uint8_t>(core_.Busy(env) ? 0x01 : 0x00);
    default:
      return std::nullopt;
  }
}

void SimAvr::Execute(const SimEnvironment& env) {
  if (entering_) return EnableProgramming();
  if (!enabled_) return;
  switch (frame_[0]) {
    case 0xAC:
      return ExecuteAc(env);
    case 0x40:
    case 0x48:
      return core_.LoadFlashPage(Address(), frame_[0] == 0x48, frame_[3], env);
    case 0x4C:
      return core_.WriteFlashPage(FlashAddress(), env);
    case 0x4D:
      // Only a part whose flash reaches past 64 K words has the register.
      if (core_.Part().FlashWords() > kBankWords) extendedAddress_ = frame_[2];
      return;
    case 0xC0:
      return core_.WriteEepromByte(Address(), frame_[3], env);
    case 0xC1:
      return core_.LoadEepromPage(Address(), frame_[3], env);
    case 0xC2:
      return core_.WriteEepromPage(Address(), env);
    default:
      return;  // reads are done; anything else the chip does not know
  }
}

void SimAvr::EnableProgramming() {
  entering_ = false;
  // Entering programming mode clears the extended address register. Whether an enable repeated
  // within programming mode does too the datasheets do not say: the simulated chip takes the
  // harsher reading, so a programmer must send the bank again after one.
  extendedAddress_ = 0;
  enabled_ = true;
}

void SimAvr::ExecuteAc(const SimEnvironment& env) {
  switch (frame_[1]) {
    case 0x80:
      return core_.ChipErase(env);
    case 0xA0:
      return core_.WriteFuse(0, frame_[3], env);
    case 0xA8:
      return core_.WriteFuse(1, frame_[3], env);
    case 0xA4:
      return core_.WriteFuse(2, frame_[3], env);
    case 0xE0:
      return core_.WriteLock(frame_[3], env);
    default:
      return;
  }
}

}  // namespace pw::sim
