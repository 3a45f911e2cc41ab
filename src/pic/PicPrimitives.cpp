// PICUtils, primitives: single samples with a capacity check, the exchange of a run, the entry
// pulse and the decoding of a read frame.
#include "common/Error.h"
#include "d2xx/Wiring.h"
#include "pic/PicUtils.h"

namespace pw {

void PICUtils::CheckFits(std::int64_t samples) {
  if (samples > static_cast<std::int64_t>(D2XXUnit::kSampleCapacity)) {
    throw PinwrightError("Ошибка! Серия отсчётов PIC (" + std::to_string(samples) + ") не помещается в буфер программатора (" +
                         std::to_string(D2XXUnit::kSampleCapacity) + ")");
  }
}

void PICUtils::Put(std::int32_t& position, std::uint8_t sample) {
  CheckFits(static_cast<std::int64_t>(position) + 1);
  unit_.OutSamples[static_cast<std::size_t>(position++)] = sample;
}

std::uint8_t PICUtils::PicExchangeOne(std::uint8_t sample) { return unit_.ExchangeOne(sample); }

void PICUtils::PicEnterProgramming(std::int32_t enterType) {
  if (enterType != 0 && enterType != 1) return;
  PicExchangeOne(kEntryPulse);
  unit_.Wait(10);
  PicExchangeOne(kClockLowZero);
}

void PICUtils::PicFlush(std::int32_t& position) {
  unit_.PinExchange(static_cast<std::uint32_t>(position));
  position = 0;
}

std::uint16_t PICUtils::PicDecodeWord(std::int32_t r) const {
  unsigned value = 0;
  for (int b = 0; b < 16; ++b) {
    if (unit_.InSamples[static_cast<std::size_t>(r + 3 + 2 * b)] & wiring::pic::PgdIn) value |= 1u << b;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace pw
