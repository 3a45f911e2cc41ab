// PICUtils, the factory calibration word of baseline parts: an erase takes it with program
// memory, so it is read before and written back after.
#include "pic/PicUtils.h"

namespace pw {

std::uint16_t PICUtils::PicReadCalibration(PicEntry entry, std::uint16_t address) {
  PicEnterProgramming(entry);
  // Entry leaves the counter at the configuration word; one increment wraps it to 0.
  for (std::int32_t i = 0; i <= address; ++i) PicPutCommand(6);
  const std::uint32_t read = PutReadWord(4);
  PicFlush();
  return PicDecodeWord(read) & 0x0FFF;
}

bool PICUtils::PicWriteCalibration(PicEntry entry, std::uint16_t address, std::uint16_t value, std::int32_t waitCount) {
  PicEnterProgramming(entry);
  for (std::int32_t i = 0; i <= address; ++i) PicPutCommand(6);
  PicFlush();
  std::int32_t flag = 0;
  PicProgramOneWord(value, flag, 0x0FFF, PicProgramming::Baseline, 2, waitCount);
  return flag == 0;
}

}  // namespace pw
