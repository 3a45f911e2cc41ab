// "Считать фъюзы" and "Прошить фъюзы": the configuration area and the ID words.

#include "d2xx/Modes.h"
#include "link/ProgrammerSession.h"
#include "pic/PicPage.h"

namespace pw {
namespace {

constexpr std::int32_t kWordMask = 0x3FFF;
/// Steps that take a baseline part's counter from word 0 round past the configuration word.
constexpr int kBaselineSteps = 512;
/// Steps from 0x2004 to the configuration word 0x2007.
constexpr int kStepsToConfigWord = 3;

}  // namespace

void PicPage::PicReadFuseClick() {
  ProgrammerSession session(ctx_.Unit, kModePic, ctx_.ProgrammerBaud);
  ctx_.Log.Append("чтение конфигурации");
  ReadConfigArea();
  ShowPicConfig();
  session.Close();
}

void PicPage::PicWriteFuseClick() {
  ProgrammerSession session(ctx_.Unit, kModePic, ctx_.ProgrammerBaud);
  ctx_.Log.Append("запись конфигурации ");
  TakePicConfig();
  WritePicConfig();
  session.Close();
}

void PicPage::WritePicConfig() {
  LogIgnoredConfigBits();
  const auto& config = ctx_.Images.ConfigImage;
  const auto word = [&config](int k) {
    return static_cast<std::uint16_t>(config[static_cast<std::size_t>(2 * k)] |
                                      (config[static_cast<std::size_t>(2 * k + 1)] << 8));
  };
  const std::int32_t wait = ProgramWaitCount();
  std::int32_t flag = 0;
  Enter(false);
  if (ProgrammType == 2) {
    Utils.PicProgramOneWord(word(7), flag, kWordMask, ProgrammType, 0, wait);
    for (int i = 0; i < kBaselineSteps; ++i) StepCounter();
    return;
  }
  Utils.PicProgramOneWord(word(0), flag, kWordMask, ProgrammType, 0, wait);
  for (int k = 1; k <= 3; ++k) Utils.PicProgramOneWord(word(k), flag, kWordMask, ProgrammType, 2, wait);
  for (int i = 0; i < kStepsToConfigWord; ++i) StepCounter();
  Utils.PicProgramOneWord(word(7), flag, kWordMask, ProgrammType, 2, wait);
}

}  // namespace pw
