#include "sim/SimAvr.h"

namespace pw::sim {
namespace {

constexpr std::uint8_t kEnable1 = 0xAC;
constexpr std::uint8_t kEnable2 = 0x53;

}  // namespace

std::optional<bool> SimAvr::Step(bool reset, bool sck, bool mosi, const SimEnvironment& env) {
  if (reset) {
    // Released, the chip runs its program: the programming interface lets go of MISO.
    heldInReset_ = false;
    return std::nullopt;
  }
  if (silentAfter_ && bytesTaken_ >= *silentAfter_) return std::nullopt;
  if (!heldInReset_) EnterReset();
  if (const auto byte = spi_.Clock(sck, mosi)) OnByte(*byte, env);
  // Out of programming mode the chip answers only a Programming Enable it has framed correctly.
  if (!enabled_ && !entering_) return std::nullopt;
  return spi_.Miso();
}

void SimAvr::EnterReset() {
  heldInReset_ = true;
  enabled_ = false;
  entering_ = false;
  count_ = 0;
  extendedAddress_ = 0;
  spi_.Reset();
}

void SimAvr::PowerOff() {
  heldInReset_ = false;
  enabled_ = false;
  entering_ = false;
  count_ = 0;
  spi_.Reset();
  core_.ResetBuffers();
}

std::vector<SimMemory> SimAvr::Memories() { return {{"Flash", &core_.Flash}, {"Eeprom", &core_.Eeprom}}; }

void SimAvr::OnByte(std::uint8_t byte, const SimEnvironment& env) {
  ++bytesTaken_;
  frame_[static_cast<std::size_t>(count_++)] = byte;
  if (count_ == 2) entering_ = frame_[0] == kEnable1 && frame_[1] == kEnable2;
  if (count_ == 3 && enabled_) {
    if (const auto data = ReadData(env)) spi_.SetNext(*data);
  }
  if (count_ == 4) {
    Execute(env);
    count_ = 0;
  }
}

std::uint32_t SimAvr::Address() const {
  return (static_cast<std::uint32_t>(extendedAddress_) << 16) | (frame_[1] << 8) | frame_[2];
}

std::optional<std::uint8_t> SimAvr::ReadData(const SimEnvironment& env) const {
  const std::uint8_t op = frame_[0];
  const std::uint8_t sub = frame_[1];
  switch (op) {
    case 0x30:
      return core_.ReadSignature(frame_[2] & 0x03);
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
      return core_.ReadFlash(Address(), op == 0x28, env);
    case 0xA0:
      return core_.ReadEeprom(Address(), env);
    case 0xF0:
      return static_cast<std::uint8_t>(core_.Busy(env) ? 0x01 : 0x00);
    default:
      return std::nullopt;
  }
}

void SimAvr::Execute(const SimEnvironment& env) {
  if (entering_) {
    entering_ = false;
    enabled_ = true;
    return;
  }
  if (!enabled_) return;
  switch (frame_[0]) {
    case 0xAC:
      return ExecuteAc(env);
    case 0x40:
    case 0x48:
      return core_.LoadFlashPage(Address(), frame_[0] == 0x48, frame_[3]);
    case 0x4C:
      return core_.WriteFlashPage(Address(), env);
    case 0x4D:
      extendedAddress_ = frame_[2];
      return;
    case 0xC0:
      return core_.WriteEepromByte(Address(), frame_[3], env);
    case 0xC1:
      return core_.LoadEepromPage(Address(), frame_[3]);
    case 0xC2:
      return core_.WriteEepromPage(Address(), env);
    default:
      return;  // reads are done; anything else the chip does not know
  }
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
