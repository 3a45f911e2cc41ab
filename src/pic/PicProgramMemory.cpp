// "Прошить" in "Programm Memory": FlashImage to the chip in blocks of 16 words, each verified.

#include <algorithm>

#include "d2xx/Modes.h"
#include "frame/Texts.h"
#include "link/ProgrammerSession.h"
#include "pic/PicPage.h"
#include "pic/PicTexts.h"

namespace pw {

void PicPage::PicWriteFlsClick() {
  ProgrammerSession session(ctx_.Unit, kModePic, ctx_.ProgrammerBaud);
  if (ImagesFit(true, false)) {
    const std::int32_t n = std::min(ctx_.Images.FlashDataCount, FlashSize);
    PicProgress.Min = 0;
    PicProgress.Max = n;
    SetProgress(0);
    ctx_.Log.Append("запись флеш " + std::to_string(n) + "слов");
    WritePicProgramMemory(n);
  }
  session.Close();
}

bool PicPage::WritePicProgramMemory(std::int32_t n) {
  Enter(true);
  const std::int32_t blocks = n == 0 ? 1 : (n + kBlockWords - 1) / kBlockWords;
  std::int32_t result = NoError;
  for (std::int32_t b = 0; b < blocks; ++b) {
    if (b > 0 && ctx_.StopRequested(texts::Undone(b, blocks, "блоков флеши") + texts::kStoppedWrite)) return false;
    result = NoError;
    const auto start = static_cast<std::uint16_t>(kBlockWords * b);
    const auto count = static_cast<std::uint16_t>(std::min(n - kBlockWords * b, kBlockWords));
    const std::span<const std::uint16_t> image = ctx_.Images.FlashImage;
    const std::int32_t wait = ProgramWaitCount();
    if (ProgrammType == 1) Utils.PicProgramWords1(start, count, image, wait, result);
    if (ProgrammType == 2) Utils.PicProgramWords2(start, count, image, wait, result);
    if (ProgrammType == 3) Utils.PicProgramWords3(start, count, image, wait, result);
    SetProgress(static_cast<std::int64_t>(kBlockWords) * (b + 1));
    if (result != NoError) {
      ctx_.Log.Append(texts::kPicMismatchAt + std::to_string(result));
      break;
    }
  }
  if (result != NoError) {
    ctx_.Log.Append(texts::kPicWriteFailed);
    ctx_.MarkTargetFailed();
    return false;
  }
  ctx_.Log.Append(texts::kPicFlashWritten);
  return true;
}

}  // namespace pw
