#include "sim/SimEeprom24.h"

namespace pw::sim {

SimEeprom24::SimEeprom24(const Eeprom24Part& part) : part_(part), memory_(part.Size, 0xFF) {}

void SimEeprom24::PowerOff() {
  pending_.clear();
  phase_ = Phase::Idle;
  drive_ = false;
  prevScl_ = true;
  prevBus_ = true;
  powerUp_.PowerOff();
}

bool SimEeprom24::Step(bool scl, bool sda, const SimEnvironment& env) {
  const bool bus = sda && !drive_;
  powerUp_.Step(env);
  busyNow_ = Busy(env);
  if (scl && prevScl_ && bus != prevBus_) {
    if (bus) {
      OnStop(env);
    } else if (!busyNow_) {
      OnStart();
    }
  } else if (scl && !prevScl_) {
    OnRise(bus);
  } else if (!scl && prevScl_) {
    OnFall();
  }
  prevScl_ = scl;
  prevBus_ = sda && !drive_;
  return drive_;
}

void SimEeprom24::OnStart() {
  // A write only starts at a stop: whatever a repeated start interrupts is dropped.
  pending_.clear();
  phase_ = Phase::Receive;
  expect_ = Expect::Device;
  bits_ = 0;
  shift_ = 0;
  drive_ = false;
}

void SimEeprom24::OnStop(const SimEnvironment& env) {
  if (!pending_.empty()) {
    for (const auto& [address, value] : pending_) memory_[address] = value;
    pending_.clear();
    ++writeCycles_;
    if (env.Timing == TimingModel::Datasheet) busyUntil_ = env.Now + kEeprom24WriteCycleMicros * kPicosPerMicro;
  }
  phase_ = Phase::Idle;
  drive_ = false;
}

void SimEeprom24::OnRise(bool sda) {
  if (phase_ == Phase::Receive) {
    shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda ? 1 : 0));
    ++bits_;
  } else if (phase_ == Phase::AckIn) {
    masterAck_ = !sda;
  }
}

void SimEeprom24::OnFall() {
  switch (phase_) {
    case Phase::Receive:
      return ReceivedBit();
    case Phase::AckOut:
      return AcknowledgeGiven();
    case Phase::Send:
      return SentBit();
    case Phase::AckIn:
      return SendNextByteOr(masterAck_, Phase::Idle);
    case Phase::Idle:
      return;
  }
}

void SimEeprom24::ReceivedBit() {
  if (bits_ < 8) return;
  if (Accept(shift_)) {
    phase_ = Phase::AckOut;
    drive_ = true;
  } else {
    phase_ = Phase::Idle;
  }
}

void SimEeprom24::AcknowledgeGiven() {
  drive_ = false;
  bits_ = 0;
  shift_ = 0;
  SendNextByteOr(reading_, Phase::Receive);
}

void SimEeprom24::SentBit() {
  if (++bits_ < 8) {
    drive_ = ((shift_ >> (7 - bits_)) & 1) == 0;
    return;
  }
  drive_ = false;  // the master acknowledges during the ninth clock
  const std::uint32_t wrap = part_.ReadWrap != 0 ? part_.ReadWrap : part_.Size;
  pointer_ = pointer_ - pointer_ % wrap + (pointer_ + 1) % wrap;
  phase_ = Phase::AckIn;
}

void SimEeprom24::SendNextByteOr(bool wanted, Phase otherwise) {
  if (!wanted) {
    phase_ = otherwise;
    return;
  }
  shift_ = memory_[pointer_];
  bits_ = 0;
  phase_ = Phase::Send;
  drive_ = (shift_ & 0x80) == 0;
}

bool SimEeprom24::AcceptDevice(std::uint8_t byte) {
  const auto blockMask = static_cast<std::uint8_t>(((1u << part_.BlockBits) - 1) << part_.BlockShift);
  // The chip-select inputs are tied low: a device byte that selects another chip goes unanswered.
  const auto selectMask = static_cast<std::uint8_t>(0x0E & ~blockMask & ~part_.IgnoredSelect);
  if (busyNow_ || (byte & 0xF0) != 0xA0 || (byte & selectMask) != 0) return false;
  block_ = static_cast<std::uint32_t>((byte & blockMask) >> part_.BlockShift);
  reading_ = (byte & 1) != 0;
  expect_ = part_.AddressBytes == 2 ? Expect::AddressHigh : Expect::AddressLow;
  return true;
}

bool SimEeprom24::Accept(std::uint8_t byte) {
  switch (expect_) {
    case Expect::Device:
      return AcceptDevice(byte);
    case Expect::AddressHigh:
      addressHigh_ = byte;
      expect_ = Expect::AddressLow;
      return true;
    case Expect::AddressLow: {
      const std::uint32_t word = part_.AddressBytes == 2 ? (addressHigh_ << 8) | byte : byte;
      pointer_ = ((block_ << (8 * part_.AddressBytes)) | word) % part_.Size;
      expect_ = Expect::Data;
      return true;
    }
    case Expect::Data: {
      // A part without a page buffer takes one byte per write and refuses a second.
      if (part_.PageSize == 1 && !pending_.empty()) return false;
      pending_[pointer_] = byte;
      const std::uint32_t page = pointer_ - pointer_ % part_.PageSize;
      pointer_ = page + (pointer_ + 1) % part_.PageSize;
      return true;
    }
  }
  return false;
}

}  // namespace pw::sim
