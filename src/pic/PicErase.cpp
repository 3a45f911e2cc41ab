// PICUtils, erase: the runs of each erase method, every run followed by the type's erase wait.
#include "pic/PicUtils.h"

namespace pw {

void PICUtils::FinishEraseRun(std::int32_t waitMs) {
  PicFlush();
  unit_.Wait(static_cast<std::uint32_t>(waitMs));
}

void PICUtils::PicEraseChip(PicErase erase, bool dataMemory, std::int32_t waitMs) {
  if (erase == PicErase::Nothing || erase == PicErase::Pic18Key) return;  // PIC18: PIC18Utils::BulkErase
  if (erase == PicErase::BulkFromConfig) return EraseFromConfig(dataMemory, waitMs);
  if (erase == PicErase::Chip) {
    PicPutCommand(2);
    PicPutDataWord(0x3FFF);
    PicPutIdle();
    PicPutCommand(31);
    FinishEraseRun(waitMs);
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
    FinishEraseRun(waitMs);
  }
}

void PICUtils::EraseFromConfig(bool dataMemory, std::int32_t waitMs) {
  // From configuration space the bulk erase takes the IDs and the configuration word too.
  PicPutCommand(0);
  PicPutDataWord(0x3FFF);
  PicPutIdle();
  PicPutCommand(9);
  FinishEraseRun(waitMs);
  if (!dataMemory) return;
  PicPutCommand(11);
  FinishEraseRun(waitMs);
}

}  // namespace pw
