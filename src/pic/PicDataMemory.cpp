// "Прошить" in "Data Memory": the locations the loaded file holds, each verified. Locations the
// file leaves out keep what the chip has: the counter steps over them.

#include <algorithm>

#include "d2xx/Modes.h"
#include "frame/Texts.h"
#include "link/ProgrammerSession.h"
#include "pic/PicPage.h"
#include "pic/PicTexts.h"

namespace pw {

void PicPage::PicWriteEepClick() {
  ProgrammerSession session(ctx_.Unit, kModePic, ctx_.ProgrammerBaud);
  if (ImagesFit(false, true)) {
    const std::int32_t length = std::min(ctx_.Images.EepromDataCount, 2 * EepromSize);
    ctx_.Log.Append("запись Eeprom " + std::to_string(length / 2) + " байт");
    PicProgress.Min = 0;
    PicProgress.Max = length - 1;
    SetProgress(0);
    WritePicDataMemory(length, 0);
  }
  session.Close();
}

bool PicPage::WritePicDataMemory(std::int32_t length, std::int32_t progressOffset) {
  Enter(true);
  const auto& filled = ctx_.Images.EepromFilled;
  const std::int32_t locations = length / 2;
  const std::int32_t perBlock = kBlockBytes / 2;
  std::int32_t at = 0;  // the location the target's counter stands on
  std::int32_t result = NoError;
  for (std::int32_t b = 0; b * perBlock < locations && result == NoError; ++b) {
    if (b > 0 && ctx_.StopRequested(texts::Undone(b * perBlock, locations, "байт Eeprom") + texts::kStoppedWrite)) {
      return false;
    }
    const std::int32_t end = std::min(locations, (b + 1) * perBlock);
    for (std::int32_t first = b * perBlock; first < end && result == NoError;) {
      if (!filled[static_cast<std::size_t>(2 * first)]) {
        ++first;
        continue;
      }
      std::int32_t last = first;
      while (last + 1 < end && filled[static_cast<std::size_t>(2 * (last + 1))]) ++last;
      for (; at < first; ++at) StepCounter();
      Utils.PicProgramDataBytes(static_cast<std::uint16_t>(2 * first),
                                static_cast<std::uint16_t>(2 * (last - first + 1)), ctx_.Images.EepromImage,
                                ProgramWaitCount(), result);
      at = last + 1;
      first = last + 1;
    }
    SetProgress(static_cast<std::int64_t>(kBlockBytes) * (b + 1) + progressOffset);
    if (result != NoError) ctx_.Log.Append(texts::kPicMismatchAt + std::to_string(result));
  }
  if (result != NoError) {
    ctx_.Log.Append(texts::kPicWriteFailed);
    ctx_.MarkTargetFailed();
    return false;
  }
  ctx_.Log.Append(texts::kPicDataWritten);
  return true;
}

}  // namespace pw
