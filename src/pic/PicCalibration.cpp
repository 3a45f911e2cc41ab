// PICUtils, the factory calibration word: an erase takes it with program memory, so it is read
// before and written back after.
#include "pic/PicUtils.h"

namespace pw {
namespace {

/// Increments from entry to address: a baseline counter starts at the configuration word, one
/// increment before word 0; a 14-bit one starts at word 0.
std::int32_t StepsTo(PicProgramming programming, std::uint16_t address) {
  return programming == PicProgramming::Baseline ? address + 1 : address;
}

}  // namespace

std::uint16_t PICUtils::PicReadCalibration(PicEntry entry, PicProgramming programming, std::uint16_t address) {
  PicEnterProgramming(entry);
  for (std::int32_t i = 0; i < StepsTo(programming, address); ++i) PicPutCommand(6);
  const std::uint32_t read = PutReadWord(4);
  PicFlush();
  return PicDecodeWord(read) & PicWordMask(programming);
}

bool PICUtils::PicWriteCalibration(PicEntry entry, PicProgramming programming, std::uint16_t address,
                                   std::uint16_t value, std::int32_t waitCount) {
  PicEnterProgramming(entry);
  for (std::int32_t i = 0; i < StepsTo(programming, address); ++i) PicPutCommand(6);
  PicFlush();
  std::int32_t flag = 0;
  PicProgramOneWord(value, flag, PicWordMask(programming), programming, 2, waitCount);
  return flag == 0;
}

}  // namespace pw
