#include "sim/SimAvrCore.h"

#include <algorithm>

namespace pw::sim {
namespace {

std::uint8_t WithMissingBitsSet(std::uint8_t value, std::uint8_t existing) {
  return static_cast<std::uint8_t>(value | static_cast<std::uint8_t>(~existing));
}

constexpr std::size_t kLockIndex = 3;

}  // namespace

SimAvrCore::SimAvrCore(const SimAvrPart& part)
    : Flash(part.FlashWords() * 2u, 0xFF),
      Eeprom(part.EepromBytes, 0xFF),
      FusesAndLock(kLockIndex + 1, 0xFF),
      part_(part),
      pageBuffer_(part.FlashPageWords, 0xFFFF),
      eepromBuffer_(part.EepromPageBytes, 0xFF),
      eepromLoaded_(part.EepromPageBytes, false) {
  SetFuses(part.FactoryFuses);
  SetLock(0xFF);
}

std::uint8_t SimAvrCore::ReadSignature(std::uint8_t index) const { return index < 3 ? part_.Signature[index] : 0xFF; }

std::uint8_t SimAvrCore::ReadCalibration(std::uint8_t index) const { return index == 0 ? part_.Calibration : 0xFF; }

std::uint8_t SimAvrCore::ReadFuse(int which, const SimEnvironment& env) const {
  return Reading(Cycle::Fuses, env) ? 0xFF : Fuses()[static_cast<std::size_t>(which)];
}

std::uint8_t SimAvrCore::ReadLock(const SimEnvironment& env) const {
  return Reading(Cycle::Fuses, env) ? 0xFF : Lock();
}

std::array<std::uint8_t, 3> SimAvrCore::Fuses() const {
  // A bench's fuse file may hold 0 in a bit the part lacks: the chip reads it as 1 all the same.
  std::array<std::uint8_t, 3> fuses{};
  for (std::size_t i = 0; i < 3; ++i) fuses[i] = WithMissingBitsSet(FusesAndLock[i], part_.FuseBits[i]);
  return fuses;
}

std::uint8_t SimAvrCore::Lock() const { return WithMissingBitsSet(FusesAndLock[kLockIndex], part_.LockBits); }

void SimAvrCore::SetFuses(const std::array<std::uint8_t, 3>& fuses) {
  for (std::size_t i = 0; i < 3; ++i) FusesAndLock[i] = WithMissingBitsSet(fuses[i], part_.FuseBits[i]);
}

void SimAvrCore::SetLock(std::uint8_t lock) { FusesAndLock[kLockIndex] = WithMissingBitsSet(lock, part_.LockBits); }

bool SimAvrCore::StartCycle(Cycle cycle, std::uint32_t micros, const SimEnvironment& env) {
  if (Busy(env)) return false;
  cycle_ = cycle;
  if (env.Timing == TimingModel::Datasheet) busyUntil_ = env.Now + static_cast<SimTime>(micros) * kPicosPerMicro;
  return true;
}

bool SimAvrCore::Reading(Cycle cycle, const SimEnvironment& env) const {
  return Busy(env) && (cycle_ == cycle || cycle_ == Cycle::Erase);
}

std::uint16_t SimAvrCore::FlashWord(std::uint32_t word) const {
  return static_cast<std::uint16_t>(Flash[2 * word] | (Flash[2 * word + 1] << 8));
}

std::uint8_t SimAvrCore::ReadFlash(std::uint32_t word, bool high, const SimEnvironment& env) const {
  word &= part_.FlashWords() - 1;
  const bool inCycle = word >= cycleFirst_ && word - cycleFirst_ < cycleCount_;
  if (VerifyLocked() || (Busy(env) && (cycle_ == Cycle::Erase || (cycle_ == Cycle::FlashPage && inCycle)))) return 0xFF;
  const std::uint32_t byteAddress = 2 * word + (high ? 1 : 0);
  return stuck_.Apply(byteAddress, Flash[byteAddress]);
}

void SimAvrCore::StickFlashBit(std::uint32_t byteAddress, int bit, bool level) {
  stuck_.Stick(byteAddress, bit, level);
}

void SimAvrCore::LoadFlashPage(std::uint32_t word, bool high, std::uint8_t data, const SimEnvironment& env) {
  // The buffer belongs to the running write cycle: what is loaded meanwhile is lost.
  if (Busy(env)) return;
  if (!high) {
    lowLatch_ = data;
    return;
  }
  pageBuffer_[word & (part_.FlashPageWords - 1)] = static_cast<std::uint16_t>(lowLatch_ | (data << 8));
  lowLatch_ = 0xFF;
}

void SimAvrCore::WriteFlashPage(std::uint32_t word, const SimEnvironment& env) {
  const std::uint32_t first = word & (part_.FlashWords() - 1) & ~(part_.FlashPageWords - 1);
  if (!ProgrammingLocked() && StartCycle(Cycle::FlashPage, part_.Times.FlashUs, env)) {
    // Programming only clears bits: erased cells take the new value, others keep their zeros.
    for (std::uint32_t i = 0; i < part_.FlashPageWords; ++i) {
      const std::uint16_t value = static_cast<std::uint16_t>(FlashWord(first + i) & pageBuffer_[i]);
      Flash[2 * (first + i)] = static_cast<std::uint8_t>(value & 0xFF);
      Flash[2 * (first + i) + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    cycleFirst_ = first;
    cycleCount_ = part_.FlashPageWords;
  }
  std::fill(pageBuffer_.begin(), pageBuffer_.end(), 0xFFFF);
  lowLatch_ = 0xFF;
}

std::uint8_t SimAvrCore::ReadEeprom(std::uint32_t address, const SimEnvironment& env) const {
  address &= part_.EepromBytes - 1;
  const bool inCycle = address >= cycleFirst_ && address - cycleFirst_ < cycleCount_;
  if (VerifyLocked() || (Busy(env) && (cycle_ == Cycle::Erase || (cycle_ == Cycle::Eeprom && inCycle)))) return 0xFF;
  return Eeprom[address];
}

void SimAvrCore::WriteEepromByte(std::uint32_t address, std::uint8_t data, const SimEnvironment& env) {
  address &= part_.EepromBytes - 1;
  if (ProgrammingLocked() || !StartCycle(Cycle::Eeprom, part_.Times.EepromUs, env)) return;
  Eeprom[address] = data;
  cycleFirst_ = address;
  cycleCount_ = 1;
}

void SimAvrCore::LoadEepromPage(std::uint32_t offset, std::uint8_t data, const SimEnvironment& env) {
  if (!part_.HasEepromPages() || Busy(env)) return;
  offset &= part_.EepromPageBytes - 1;
  eepromBuffer_[offset] = data;
  eepromLoaded_[offset] = true;
}

void SimAvrCore::WriteEepromPage(std::uint32_t address, const SimEnvironment& env) {
  if (!part_.HasEepromPages()) return;
  const std::uint32_t first = address & (part_.EepromBytes - 1) & ~(part_.EepromPageBytes - 1);
  if (!ProgrammingLocked() && StartCycle(Cycle::Eeprom, part_.Times.EepromUs, env)) {
    // Only the loaded bytes change; each is erased and written in the one cycle.
    for (std::uint32_t i = 0; i < part_.EepromPageBytes; ++i) {
      if (eepromLoaded_[i]) Eeprom[first + i] = eepromBuffer_[i];
    }
    cycleFirst_ = first;
    cycleCount_ = part_.EepromPageBytes;
  }
  std::fill(eepromLoaded_.begin(), eepromLoaded_.end(), false);
}

void SimAvrCore::WriteFuse(int which, std::uint8_t value, const SimEnvironment& env) {
  if (ProgrammingLocked() || !StartCycle(Cycle::Fuses, part_.Times.FuseUs, env)) return;
  const auto i = static_cast<std::size_t>(which);
  // SPIEN cannot be changed in serial programming mode: it stays programmed.
  if (i == part_.Spien.Fuse) value = static_cast<std::uint8_t>(value & ~(1u << part_.Spien.Bit));
  FusesAndLock[i] = WithMissingBitsSet(value, part_.FuseBits[i]);
}

void SimAvrCore::WriteLock(std::uint8_t value, const SimEnvironment& env) {
  if (!StartCycle(Cycle::Fuses, part_.Times.FuseUs, env)) return;
  SetLock(static_cast<std::uint8_t>(Lock() & value));
}

void SimAvrCore::ChipErase(const SimEnvironment& env) {
  if (!StartCycle(Cycle::Erase, part_.Times.EraseUs, env)) return;
  std::fill(Flash.begin(), Flash.end(), 0xFF);
  const bool eesave = ((Fuses()[part_.Eesave.Fuse] >> part_.Eesave.Bit) & 1) == 0;
  if (!eesave) std::fill(Eeprom.begin(), Eeprom.end(), 0xFF);
  SetLock(0xFF);
  ResetBuffers();
}

void SimAvrCore::ResetBuffers() {
  std::fill(pageBuffer_.begin(), pageBuffer_.end(), 0xFFFF);
  lowLatch_ = 0xFF;
  std::fill(eepromLoaded_.begin(), eepromLoaded_.end(), false);
}

}  // namespace pw::sim
