// PICUtils, commands and frames: every bit is a clock-high sample then a clock-low sample; the
// data output is inverted (a 0 bit pulls the line low, a 1 bit releases it).
#include "pic/PicUtils.h"

namespace pw {

void PICUtils::PutBit(bool one) {
  CheckRoomFor(2);
  Put(one ? kClockHighOne : kClockHighZero);
  Put(one ? kClockLowOne : kClockLowZero);
}

void PICUtils::PicPutCommand(int command) {
  CheckRoomFor(kCommandSamples);
  for (int b = 0; b < 6; ++b) PutBit(((command >> b) & 1) != 0);
}

void PICUtils::PicPutDataWord(std::uint16_t value) {
  CheckRoomFor(kFrameSamples);
  PutBit(false);
  for (int b = 0; b < 14; ++b) PutBit(((value >> b) & 1) != 0);
  PutBit(false);
}

void PICUtils::PicPutReadClocks() {
  CheckRoomFor(kFrameSamples);
  for (int b = 0; b < 16; ++b) PutBit(true);
}

void PICUtils::PicPutIdle() {
  CheckRoomFor(kIdleSamples);
  for (int i = 0; i < kIdleSamples; ++i) Put(kIdle);
}

void PICUtils::PicPutDelay(std::int32_t waitCount) {
  const std::int32_t samples = waitCount > 0 ? waitCount / kWaitDivisor : 0;
  CheckRoomFor(samples);
  for (std::int32_t i = 0; i < samples; ++i) Put(kIdle);
}

}  // namespace pw
