// What the PIC page's memory operations share: entry, counter steps, the progress bar, the
// checks made on the images before the chip is touched.

#include <algorithm>

#include "frame/Texts.h"
#include "pic/PicPage.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// Bits a configuration word carries: baseline parts have 12-bit words, the others 14.
constexpr std::int32_t kBaselineWordBits = 12;
constexpr std::int32_t kWordBits = 14;

}  // namespace

void PicPage::Enter(bool stepToZero) {
  Utils.PicEnterProgramming(EnterType);
  // Baseline parts start at the configuration word; one step brings them to word 0.
  if (stepToZero && ProgrammType == 2) StepCounter();
}

void PicPage::StepCounter() {
  std::int32_t position = 0;
  Utils.PicPutCommand(position, 6);
  Utils.PicFlush(position);
}

void PicPage::SetProgress(std::int64_t position) {
  // A position past the end shows a full bar; the toolkit would ignore it.
  PicProgress.Position =
      static_cast<int>(std::clamp<std::int64_t>(position, PicProgress.Min, std::max(PicProgress.Min, PicProgress.Max)));
  ctx_.Host.RepaintProgress(PicProgress);
  ctx_.Host.ProcessEvents();
}

bool PicPage::ImagesFit(bool flash, bool data) {
  const auto& images = ctx_.Images;
  const auto refuse = [this](const std::string& line) {
    ctx_.Log.Append(line);
    ctx_.MarkInputRefused();
    return false;
  };
  const bool hasFlash = flash && images.FlashDataCount > 0;
  const bool hasData = data && images.EepromDataCount > 0;
  if (!hasFlash && !hasData) return refuse(texts::kNothingToWrite);
  if (flash && images.FlashDataCount > FlashSize) {
    return refuse(texts::PicFileTooLarge("флеши", images.FlashDataCount, FlashSize, " слов"));
  }
  if (data && images.EepromDataCount > 2 * static_cast<std::int64_t>(EepromSize)) {
    return refuse(texts::PicFileTooLarge("Eeprom", (images.EepromDataCount + 1) / 2, EepromSize, " байт"));
  }
  return true;
}

void PicPage::LogIgnoredConfigBits() {
  const auto& config = ctx_.Images.ConfigImage;
  const unsigned word = config[14] | (config[15] << 8);
  const std::int32_t width = ProgrammType == 2 ? kBaselineWordBits : kWordBits;
  std::string bits;
  for (std::int32_t n = 0; n < width; ++n) {
    // An absent bit reads as 1: only a 0 asks for something the chip cannot hold.
    if (!PicFuse[static_cast<std::size_t>(n)].Enabled && ((word >> n) & 1) == 0) bits += " " + std::to_string(n);
  }
  if (!bits.empty()) ctx_.Log.Append(texts::PicIgnoredConfigBits(bits));
}

void PicPage::ReadConfigArea() {
  std::span<std::uint8_t> config(ctx_.Images.ConfigImage.data(), 2 * PICUtils::kConfigWords);
  Enter(false);
  // Baseline parts have no Load Configuration: their word stands at the counter after entry.
  if (ProgrammType == 2) {
    Utils.PicReadBaselineConfig(static_cast<std::uint16_t>(FlashSize), config);
  } else {
    Utils.PicReadConfigWords(config);
  }
}

}  // namespace pw
