// PICUtils, the factory calibration word of baseline parts: an erase takes it with program
// memory, so it is read before and written back after.
#include "pic/PicUtils.h"

namespace pw {

std::uint16_t PICUtils::PicReadCalibration(std::int32_t enterType, std::uint16_t address) {
  PicEnterProgramming(enterType);
  std::int32_t position = 0;
  // Entry leaves the counter at the configuration word; one increment wraps it to 0.
  for (std::int32_t i = 0; i <= address; ++i) PicPutCommand(position, 6);
  const std::int32_t readAt = position;
  PutReadWord(position, 4);
  PicFlush(position);
  return PicDecodeWord(readAt + 22) & 0x0FFF;
}

bool PICUtils::PicWriteCalibration(std::int32_t enterType, std::uint16_t address, std::uint16_t value,
                                   std::int32_t waitCount) {
  PicEnterProgramming(enterType);
  std::int32_t position = 0;
  for (std::int32_t i = 0; i <= address; ++i) PicPutCommand(position, 6);
  PicFlush(position);
  std::int32_t flag = 0;
  PicProgramOneWord(value, flag, 0x0FFF, 2, 2, waitCount);
  return flag == 0;
}

}  // namespace pw
