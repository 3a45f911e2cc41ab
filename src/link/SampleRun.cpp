#include "link/SampleRun.h"

#include <string>

#include "common/Error.h"

namespace pw {
namespace {

[[noreturn]] void RefuseOverrun() {
  throw PinwrightError("Ошибка! Серия отсчётов не помещается в буфер: больше " + std::to_string(SampleRun::kCapacity));
}

}  // namespace

void SampleRun::Put(std::uint8_t sample) {
  if (!Fits(1)) RefuseOverrun();
  unit_.OutSamples[length_++] = sample;
}

void SampleRun::Exchange() { unit_.PinExchange(length_); }

std::uint8_t SampleRun::In(std::uint32_t index) const {
  // A reply index past the buffers is a caller's miscount; reading there would be out of bounds.
  if (index >= kCapacity) throw PinwrightError("Ошибка! Отсчёт " + std::to_string(index) + " вне буфера отсчётов");
  return unit_.InSamples[index];
}

}  // namespace pw
