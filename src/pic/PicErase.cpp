// PICUtils, erase: the runs of each erase method, every run followed by 100 ms.
#include "pic/PicUtils.h"

namespace pw {

void PICUtils::PicEraseChip(PicErase erase) {
  if (erase == PicErase::Nothing || erase == PicErase::Pic18Key) return;  // PIC18: PIC18Utils::BulkErase
  auto finish = [this] {
    PicFlush();
    unit_.Wait(100);
  };
  if (erase == PicErase::Chip) {
    PicPutCommand(2);
    PicPutDataWord(0x3FFF);
    PicPutIdle();
    PicPutCommand(31);
    finish();
    return;
  }
  const bool afterCycle = erase == PicErase::BulkAfterProgramCycle;
  for (const int bulk : {9, 11}) {
    PicPutCommand(2);
    if (afterCycle) PicPutIdle();
    PicPutDataWord(0x3FFF);
    PicPutIdle();
    if (afterCycle) {
      PicPutCommand(8);
      PicPutIdle();
    }
    PicPutCommand(bulk);
    PicPutIdle();
    PicPutCommand(8);
    finish();
  }
}

}  // namespace pw
