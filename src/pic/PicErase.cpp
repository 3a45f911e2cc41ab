// PICUtils, erase: the runs of each erase type, every run followed by 100 ms.
#include "pic/PicUtils.h"

namespace pw {

void PICUtils::PicEraseChip(std::int32_t eraseType) {
  if (eraseType < 1 || eraseType > 4) return;
  auto finish = [this](std::int32_t& position) {
    PicFlush(position);
    unit_.Wait(100);
  };
  std::int32_t position = 0;
  if (eraseType == 4) {
    PicPutCommand(position, 2);
    PicPutDataWord(position, 0x3FFF);
    PicPutIdle(position);
    PicPutCommand(position, 31);
    finish(position);
    return;
  }
  for (const int bulk : {9, 11}) {
    PicPutCommand(position, 2);
    if (eraseType == 1) PicPutIdle(position);
    PicPutDataWord(position, 0x3FFF);
    PicPutIdle(position);
    if (eraseType == 1) {
      PicPutCommand(position, 8);
      PicPutIdle(position);
    }
    PicPutCommand(position, bulk);
    PicPutIdle(position);
    PicPutCommand(position, 8);
    finish(position);
  }
}

}  // namespace pw
