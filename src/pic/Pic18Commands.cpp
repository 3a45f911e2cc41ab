// PIC18Utils, commands: every clock is a PGC-high sample carrying the bit, then a PGC-low sample;
// the data output is inverted (a 0 bit pulls the line low, a 1 bit releases it).
#include "d2xx/Wiring.h"
#include "pic/Pic18Utils.h"

namespace pw {

void PIC18Utils::PutSample(std::uint8_t sample) {
  if (!run_.Fits(1)) Flush();
  run_.Put(sample);
}

void PIC18Utils::PutClock(bool one) {
  PutSample(one ? PICUtils::kClockHighOne : PICUtils::kClockHighZero);
  PutSample(one ? PICUtils::kClockLowOne : PICUtils::kClockLowZero);
}

void PIC18Utils::Reserve(std::uint32_t samples) {
  if (!run_.Fits(samples)) Flush();
}

void PIC18Utils::Put(pic18::Command command, std::uint16_t operand) {
  Reserve(kCommandSamples);
  for (int b = 0; b < pic18::kCommandBits; ++b) PutClock(((command >> b) & 1) != 0);
  for (int b = 0; b < pic18::kOperandBits; ++b) PutClock(((operand >> b) & 1) != 0);
}

void PIC18Utils::Read(pic18::Command command, std::uint8_t* destination) {
  Reserve(kCommandSamples);
  for (int b = 0; b < pic18::kCommandBits; ++b) PutClock(((command >> b) & 1) != 0);
  // The host sends 0 for the first eight operand clocks and lets go of PGD for the chip's eight.
  for (int b = 0; b < pic18::kReadFirstClock; ++b) PutClock(false);
  reads_.push_back({run_.Length(), destination});
  for (int b = pic18::kReadFirstClock; b < pic18::kOperandBits; ++b) PutClock(true);
}

void PIC18Utils::ProgrammingNop(std::int32_t programMs) {
  Reserve(kCommandSamples);
  for (int b = 0; b < pic18::kCommandBits - 1; ++b) PutClock(false);
  Hold(PICUtils::kClockHighZero, SamplesFor(1000LL * programMs));
  Hold(PICUtils::kClockLowZero, SamplesFor(pic18::kP10Micros));
  for (int b = 0; b < pic18::kOperandBits; ++b) PutClock(false);
}

void PIC18Utils::EraseNop(std::int32_t eraseMs) {
  for (int b = 0; b < pic18::kCommandBits; ++b) PutClock(false);
  Hold(PICUtils::kClockLowZero, SamplesFor(1000LL * eraseMs + pic18::kP10Micros));
  for (int b = 0; b < pic18::kOperandBits; ++b) PutClock(false);
}

void PIC18Utils::Idle(std::int32_t ms) { Hold(PICUtils::kIdle, SamplesFor(1000LL * ms)); }

void PIC18Utils::Hold(std::uint8_t sample, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) PutSample(sample);
}

std::int32_t PIC18Utils::SamplesFor(std::int64_t micros) const {
  // The sample clock is 16 × baud only nominally (the baud divisor rounds): a wait laid for the
  // bare minimum may come out a little short, and a programming or erase cycle cut short writes
  // nothing. A thirty-second more and one sample cover that.
  const std::int64_t perSecond = 16 * static_cast<std::int64_t>(baud_);
  const std::int64_t samples = (micros * perSecond + 999'999) / 1'000'000;
  return static_cast<std::int32_t>(samples + samples / 32 + 1);
}

void PIC18Utils::Flush() {
  if (run_.Length() > 0) run_.Exchange();
  for (const PendingRead& read : reads_) {
    // Bit i: the chip drives it from the rising edge of operand clock 9 + i; the host takes it
    // with that clock's low sample.
    unsigned value = 0;
    for (std::uint32_t i = 0; i < 8; ++i) {
      if (run_.In(read.Mark + 2 * i + 1) & wiring::pic::PgdIn) value |= 1u << i;
    }
    *read.Destination = static_cast<std::uint8_t>(value);
  }
  reads_.clear();
  run_.Clear();
}

}  // namespace pw
