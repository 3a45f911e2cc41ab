// What the PIC operations share: the target, entry, counter steps, the programming wait and the
// checks made on the images before the chip is touched.

#include "pic/PicOperations.h"

#include <algorithm>
#include <utility>

#include "d2xx/Wiring.h"
#include "frame/Texts.h"
#include "pic/PicTexts.h"

namespace pw {

PicOperations::PicOperations(D2XXUnit& unit, std::int32_t baud, const PicTypeValues& type)
    : baud_(baud),
      type_(type),
      utils_(unit),
      pic18_(type_.Pic18() ? std::make_unique<Pic18Operations>(unit, baud, type_) : nullptr) {}

OperationStep PicOperations::Step(std::function<Refusal()> checkInputs, std::function<void(OperationRun&)> act) {
  OperationStep step;
  step.CheckInputs = std::move(checkInputs);
  step.Act = std::move(act);
  return step;
}

FrameTarget PicOperations::Target() { return {kModePic, baud_, Identification(), ""}; }

std::int32_t PicOperations::WaitCount(std::int32_t ms) const {
  // waitCount / 35 idle samples at 16 × baud samples a second: the baud value alone lasts
  // 1.79 ms whatever the baud, shorter than most of these chips' write cycles, which would then
  // be cut short on the chip and fail their verify.
  const std::int64_t baud = baud_;
  const std::int64_t samplesPerSecond = 16 * baud;
  const std::int64_t needed = (static_cast<std::int64_t>(ms) * samplesPerSecond + 999) / 1000 * PICUtils::kWaitDivisor;
  return static_cast<std::int32_t>(std::min<std::int64_t>(std::max(baud, needed), INT32_MAX));
}

void PicOperations::Enter(bool stepToZero) {
  utils_.PicEnterProgramming(type_.EnterType);
  // Baseline parts start at the configuration word; one step brings them to word 0.
  if (stepToZero && type_.ProgrammType == PicProgramming::Baseline) StepCounter();
}

void PicOperations::StepCounter() {
  utils_.PicPutCommand(6);
  utils_.PicFlush();
}

Refusal PicOperations::CheckImages(std::optional<std::int32_t> programCount,
                                   std::optional<std::int32_t> dataCount) const {
  if (programCount.value_or(0) <= 0 && dataCount.value_or(0) <= 0) return texts::kNothingToWrite;
  if (programCount && *programCount > type_.FlashSize) {
    return texts::PicFileTooLarge("флеши", *programCount, type_.FlashSize, " слов");
  }
  if (dataCount && *dataCount > 2 * static_cast<std::int64_t>(type_.EepromSize)) {
    return texts::PicFileTooLarge("Eeprom", (*dataCount + 1) / 2, type_.EepromSize, " байт");
  }
  return std::nullopt;
}

}  // namespace pw
