// PICUtils, primitives: single samples with a capacity check, the exchange of a run, the entry
// pulse and the decoding of a read frame.
#include "common/Error.h"
#include "d2xx/Wiring.h"
#include "pic/PicUtils.h"

namespace pw {

void PICUtils::CheckFits(std::int64_t samples) {
  // Whole commands and frames are checked before their first sample, so a refused run never
  // ends in half a frame.
  if (samples > static_cast<std::int64_t>(SampleRun::kCapacity)) {
    throw PinwrightError("Ошибка! Серия отсчётов PIC (" + std::to_string(samples) +
                         ") не помещается в буфер программатора (" + std::to_string(SampleRun::kCapacity) + ")");
  }
}

void PICUtils::Put(std::uint8_t sample) {
  CheckRoomFor(1);
  run_.Put(sample);
}

std::uint8_t PICUtils::PicExchangeOne(std::uint8_t sample) { return unit_.ExchangeOne(sample); }

void PICUtils::PicEnterProgramming(PicEntry entry) {
  if (entry != PicEntry::MclrPulse) return;
  PicExchangeOne(kEntryPulse);
  unit_.Wait(10);
  PicExchangeOne(kClockLowZero);
}

void PICUtils::PicFlush() {
  run_.Exchange();
  run_.Clear();
}

std::uint16_t PICUtils::PicDecodeWord(std::uint32_t mark) const {
  unsigned value = 0;
  for (std::uint32_t b = 0; b < 16; ++b) {
    if (run_.In(mark + 3 + 2 * b) & wiring::pic::PgdIn) value |= 1u << b;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace pw
