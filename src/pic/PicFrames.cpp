// PICUtils, commands and frames: every bit is a clock-high sample then a clock-low sample; the
// data output is inverted (a 0 bit pulls the line low, a 1 bit releases it).
#include "pic/PicUtils.h"

namespace pw {

void PICUtils::PutBit(std::int32_t& position, bool one) {
  CheckFits(static_cast<std::int64_t>(position) + 2);
  Put(position, one ? kClockHighOne : kClockHighZero);
  Put(position, one ? kClockLowOne : kClockLowZero);
}

void PICUtils::PicPutCommand(std::int32_t& position, int command) {
  CheckFits(static_cast<std::int64_t>(position) + kCommandSamples);
  for (int b = 0; b < 6; ++b) PutBit(position, ((command >> b) & 1) != 0);
}

void PICUtils::PicPutDataWord(std::int32_t& position, std::uint16_t value) {
  CheckFits(static_cast<std::int64_t>(position) + kFrameSamples);
  PutBit(position, false);
  for (int b = 0; b < 14; ++b) PutBit(position, ((value >> b) & 1) != 0);
  PutBit(position, false);
}

void PICUtils::PicPutReadClocks(std::int32_t& position) {
  CheckFits(static_cast<std::int64_t>(position) + kFrameSamples);
  for (int b = 0; b < 16; ++b) PutBit(position, true);
}

void PICUtils::PicPutIdle(std::int32_t& position) {
  CheckFits(static_cast<std::int64_t>(position) + kIdleSamples);
  for (int i = 0; i < kIdleSamples; ++i) Put(position, kIdle);
}

void PICUtils::PicPutDelay(std::int32_t& position, std::int32_t waitCount) {
  const std::int32_t samples = waitCount > 0 ? waitCount / kWaitDivisor : 0;
  CheckFits(static_cast<std::int64_t>(position) + samples);
  for (std::int32_t i = 0; i < samples; ++i) Put(position, kIdle);
}

}  // namespace pw
