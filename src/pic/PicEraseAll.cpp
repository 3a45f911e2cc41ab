// "Стереть чип": lifts code protection, erases program and data memory, keeps a factory
// calibration word, and writes the configuration shown on the panel back.

#include "d2xx/Modes.h"
#include "link/ProgrammerSession.h"
#include "pic/PicPage.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

constexpr std::uint16_t kErasedWord = 0x3FFF;
constexpr std::int32_t kWordMask = 0x3FFF;
/// Steps from 0x2000 to the configuration word 0x2007.
constexpr int kStepsToConfigWord = 7;

/// The code-protection clearing sequence at the configuration word, three runs.
void ClearProtection(PICUtils& utils, std::int32_t waitCount) {
  std::int32_t p = 0;
  utils.PicPutCommand(p, 0);
  utils.PicPutIdle(p);
  utils.PicPutDataWord(p, kErasedWord);
  utils.PicPutIdle(p);
  utils.PicFlush(p);
  for (int i = 0; i < kStepsToConfigWord; ++i) utils.PicPutCommand(p, 6);
  utils.PicFlush(p);
  for (const int command : {1, 7, 8}) utils.PicPutCommand(p, command);
  utils.PicPutDelay(p, waitCount);
  utils.PicPutCommand(p, 1);
  utils.PicPutCommand(p, 7);
  utils.PicFlush(p);
}

}  // namespace

void PicPage::PicEraseAllClick() {
  ProgrammerSession session(ctx_.Unit, kModePic, ctx_.ProgrammerBaud);
  const std::int32_t wait = ProgramWaitCount();
  // The bulk erase of a baseline part takes its factory calibration word with it.
  const auto calibration = Osccal != 0 ? Utils.PicReadCalibration(EnterType, static_cast<std::uint16_t>(Osccal)) : 0;
  Enter(false);
  if (ProgrammType == 2) {
    std::int32_t flag = 0;
    Utils.PicProgramOneWord(kErasedWord, flag, kWordMask, ProgrammType, 2, wait);
  } else if (ProgrammType == 1 || ProgrammType == 3) {
    ClearProtection(Utils, wait);
  }
  Utils.PicEraseChip(EraseType);
  if (Osccal != 0 && !Utils.PicWriteCalibration(EnterType, static_cast<std::uint16_t>(Osccal), calibration, wait)) {
    ctx_.Log.Append(texts::kPicCalibrationLost);
    ctx_.MarkTargetFailed();
  }
  TakePicConfig();
  WritePicConfig();
  ctx_.Log.Append("флеш и еепром стёрты");
  session.Close();
}

}  // namespace pw
