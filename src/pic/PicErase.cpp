// PICUtils, erase: the runs of each erase method, every run followed by 100 ms.
#include "pic/PicUtils.h"

namespace pw {

void PICUtils::FinishEraseRun() {
  PicFlush();
  unit_.Wait(100);
}

void PICUtils::PicEraseChip(PicErase erase, bool dataMemory) {
  if (erase == PicErase::Nothing || erase == PicErase::Pic18Key) return;  // PIC18: PIC18Utils::BulkErase
  if (erase == PicErase::BulkFromConfig) return EraseFromConfig(dataMemory);
  if (erase == PicErase::Chip) {
    PicPutCommand(2);
    PicPutDataWord(0x3FFF);
    PicPutIdle();
    PicPutCommand(31);
    FinishEraseRun();
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
    FinishEraseRun();
  }
}

void PICUtils::EraseFromConfig(bool dataMemory) {
  // From configuration space the bulk erase takes the IDs and the configuration word too.
  PicPutCommand(0);
  PicPutDataWord(0x3FFF);
  PicPutIdle();
  PicPutCommand(9);
  FinishEraseRun();
  if (!dataMemory) return;
  PicPutCommand(11);
  FinishEraseRun();
}

}  // namespace pw
