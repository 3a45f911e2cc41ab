#include "avr/AvrUtils.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "common/Error.h"

namespace pw {

std::uint8_t AVRUtils::AvrSetPins(std::uint8_t v) { return unit_.ExchangeOne(v); }

std::uint8_t AVRUtils::ReplyByte(std::uint32_t first) const { return spi_.ReplyByte(first); }

std::uint8_t AVRUtils::AvrSpiByte(std::uint8_t value) {
  const std::array<std::uint8_t, 1> one{value};
  AvrSpiTransfer(one);
  return ReplyByte(0);
}

void AVRUtils::AvrSpiTransfer(std::span<const std::uint8_t> bytes) {
  run_.Clear();
  if (!spi_.Fits(bytes.size())) {
    throw PinwrightError("Ошибка! Серия команд AVR не помещается в буфер отсчётов: " + std::to_string(bytes.size()) +
                         " байт");
  }
  spi_.PutBytes(bytes);
  run_.Exchange();
}

std::array<std::uint8_t, 4> AVRUtils::InstructionReplies(const std::array<std::uint8_t, 4>& bytes) {
  std::array<std::uint8_t, 4> replies{};
  for (std::size_t i = 0; i < bytes.size(); ++i) replies[i] = AvrSpiByte(bytes[i]);
  return replies;
}

std::uint8_t AVRUtils::Instruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, int replyAt) {
  return InstructionReplies({b0, b1, b2, b3})[static_cast<std::size_t>(replyAt)];
}

bool AVRUtils::AvrProgEnable(int attempts) {
  // Read back, the RESET line shows whether the chip was running until now.
  const bool wasRunning = (AvrSetPins(kResetAsserted) & kResetReleased) != 0;
  ForgetFlashBank();
  entryReplies_.clear();
  unit_.Wait(wasRunning ? kEntryWaitMs : kResetSettleMs);
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (attempt > 0) {
      // Held low, a chip out of step never finds it again: only a positive RESET pulse restarts it.
      AvrSetPins(kResetReleased);
      AvrSetPins(kResetAsserted);
      unit_.Wait(kEntryWaitMs);
    }
    // In sync, the chip echoes the second byte while the third goes out.
    entryReplies_.push_back(InstructionReplies({0xAC, kProgEnableEcho, 0x00, 0x00}));
    if (entryReplies_.back()[2] == kProgEnableEcho) return true;
  }
  return false;
}

void AVRUtils::AvrChipErase() {
  Instruction(0xAC, 0x80, 0x00, 0x00);
  unit_.Wait(Delays.EraseMs);
}

std::uint8_t AVRUtils::AvrReadSignatureByte(std::uint8_t index) { return Instruction(0x30, 0x00, index, 0x00); }

AvrFuseBytes AVRUtils::AvrReadFuseBytes() {
  AvrFuseBytes fuses;
  fuses.Low = Instruction(0x50, 0x00, 0x00, 0x00);
  fuses.High = Instruction(0x58, 0x08, 0x00, 0x00);
  fuses.Ext = Instruction(0x50, 0x08, 0x00, 0x00);
  return fuses;
}

void AVRUtils::AvrWriteFuseBytes(const AvrFuseBytes& fuses, std::array<bool, 3> written) {
  const std::array<std::pair<std::uint8_t, std::uint8_t>, 3> bytes{
      {{0xA0, fuses.Low}, {0xA8, fuses.High}, {0xA4, fuses.Ext}}};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!written[i]) continue;
    Instruction(0xAC, bytes[i].first, 0x00, bytes[i].second);
    unit_.Wait(Delays.FuseMs);
  }
}

std::uint8_t AVRUtils::AvrReadLockByte() { return Instruction(0x58, 0x00, 0x00, 0x00); }

void AVRUtils::AvrWriteLockByte(std::uint8_t lock) {
  Instruction(0xAC, 0xE0, 0x00, lock);
  unit_.Wait(Delays.FuseMs);
}

void AVRUtils::AvrWriteEepromByte(std::uint16_t address, std::uint8_t value) {
  Instruction(0xC0, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF), value);
  unit_.Wait(std::max(kEepromByteWaitMs, Delays.EepromMs));
}

}  // namespace pw
