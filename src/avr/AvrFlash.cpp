// "Прочитать Flash" and "Прошить Flash": the chip's program memory to a HEX file, and FlashImage
// to the chip with a verify. Both identify the chip first, so they work with its geometry now.

#include <algorithm>
#include <optional>
#include <vector>

#include "avr/AvrPage.h"
#include "avr/AvrTexts.h"
#include "common/HexDigits.h"
#include "hexfile/HexWriter.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"
#include "model/ImageFiles.h"
#include "model/PartialWrite.h"
#include "model/ReadClose.h"
#include "model/Texts.h"

namespace pw {
namespace {

/// Pages between two looks at the window (and at whether the chip still answers).
constexpr std::int32_t kPagesPerBreak = 16;

std::uint16_t WordAddress(std::int64_t word) { return static_cast<std::uint16_t>(word & 0xFFFF); }

std::string Hex4(std::uint16_t word) { return HexDigits(word, 4); }

}  // namespace

void AvrPage::AvrReadFlsClick() {
  ctx_.ClearLogIfTicked();
  AvrReadFls.Enabled = false;
  const auto file = ctx_.Host.ChooseSaveFile(kImageFilter, texts::kHexExtension);
  if (!file) {
    AvrReadFls.Enabled = true;
    return;
  }
  ctx_.Log.Append("Сохраняем Флеш в файл: " + *file);
  ProgrammerSession session(ctx_.Unit, kModeAvr, ctx_.ProgrammerBaud);
  fileSaved_ = false;
  ReadFlash(*file);
  // Whatever ended the read, the button must be usable for the next one.
  AvrReadFls.Enabled = true;
  AvrPrograss.Position = 0;
  CloseAfterRead(session, ctx_.Log, fileSaved_, *file);
}

void AvrPage::ReadFlash(const std::string& file) {
  std::string hexText;
  if (!IdentifyChip(false)) return Refuse(texts::AvrNotIdentified(ctx_.DopInfo.Text));
  StartProgress(FlashPagesCount - 1);
  ctx_.Log.Append("чтение флеш");
  std::int32_t address = 0;
  std::optional<std::uint32_t> block;
  std::vector<std::uint16_t> page(static_cast<std::size_t>(FlashPageSize));
  std::vector<std::uint8_t> raw;
  raw.reserve(2 * static_cast<std::size_t>(FlashPageSize) * static_cast<std::size_t>(FlashPagesCount));
  for (std::int32_t p = 0; p < FlashPagesCount; ++p) {
    if (p % kPagesPerBreak == 1) ShowProgress();
    if (p > 0 && ctx_.StopRequested(texts::Undone(p, FlashPagesCount, "страниц флеши") + texts::kStoppedRead)) return;
    // A chip that stops answering reads as erased: look before trusting the pages that follow.
    if (p % kPagesPerBreak == 0 && p > 0 && !ChipAnswers()) return Refuse(texts::kAvrFileNotSaved);
    Utils.AvrReadFlashBlock(WordAddress(static_cast<std::int64_t>(p) * FlashPageSize),
                            static_cast<std::uint16_t>(FlashPageSize), page);
    SetProgress(p);
    AppendSegmentRecord(hexText, address, block);
    AppendHexWords(FlashPageSize, page, hexText, address);
    for (const std::uint16_t word : page)
      raw.insert(raw.end(), {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8)});
  }
  if (!ChipAnswers()) return Refuse(texts::kAvrFileNotSaved);
  SaveImageFile(file, hexText, raw);
  fileSaved_ = true;
  ctx_.Log.Append("файл сохранён");
}

void AvrPage::AvrWriteFlsClick() {
  ctx_.ClearLogIfTicked();
  ProgrammerSession session(ctx_.Unit, kModeAvr, ctx_.ProgrammerBaud);
  WriteFlash();
  AvrPrograss.Position = 0;
  session.Close();
}

void AvrPage::WriteFlash() {
  if (!IdentifyChip(false)) return Refuse(texts::AvrNotIdentified(ctx_.DopInfo.Text));
  const MemoryImages& m = ctx_.Images;
  const std::int32_t count = m.FlashDataCount;
  const std::int64_t chipWords = static_cast<std::int64_t>(FlashPageSize) * FlashPagesCount;
  // Page addresses wrap at the chip's end: the excess would overwrite its first pages.
  if (count > chipWords) return RefuseInput(texts::AvrFileTooLarge(count, chipWords, "слов"));
  if (count == 0) return RefuseInput(texts::kNothingToWrite);
  StartProgress(count);
  ctx_.Log.Append("запись во флеш " + std::to_string(count) + " слов");
  PartialWrite partial(ctx_.Log, AvrWriteFls.Caption);
  const std::int32_t pages = (count + FlashPageSize - 1) / FlashPageSize;
  for (std::int32_t b = 0; b < pages; ++b) {
    // A page the file does not touch keeps what the chip holds there.
    if (!PageTouched(b, count)) continue;
    if (ctx_.StopRequested(texts::Undone(b, pages, "страниц флеши") + texts::kStoppedWrite)) return;
    const std::int64_t first = static_cast<std::int64_t>(b) * FlashPageSize;
    const std::int64_t n = std::min<std::int64_t>(count - first, FlashPageSize);
    partial.Begun();
    Utils.AvrWriteFlashPage(WordAddress(first), static_cast<std::uint16_t>(n), m.FlashImage);
    if (!ChipAnswers()) return;
    SetProgress(first + FlashPageSize);
    if (b % kPagesPerBreak == kPagesPerBreak - 1) ShowProgress();
  }
  partial.Finished();
  ctx_.Log.Append("проверка записи");
  Utils.AvrSetPins(AVRUtils::kResetReleased);
  ctx_.Unit.Wait(AVRUtils::kRestartWaitMs);
  if (!ChipAnswers()) return;
  if (VerifyFlash(pages)) {
    ctx_.Log.Append("Ошибок нет");
  } else if (!ctx_.Stopping()) {
    ctx_.Log.Append("Ошибка: при проверке флеши");
    ctx_.MarkTargetFailed();
  }
}

bool AvrPage::PageTouched(std::int32_t page, std::int32_t count) const {
  const auto& filled = ctx_.Images.FlashFilled;
  const std::int64_t first = static_cast<std::int64_t>(page) * FlashPageSize;
  const std::int64_t end = std::min<std::int64_t>(first + FlashPageSize, count);
  return std::any_of(filled.begin() + first, filled.begin() + end, [](bool f) { return f; });
}

bool AvrPage::VerifyFlash(std::int32_t pages) {
  const MemoryImages& m = ctx_.Images;
  std::vector<std::uint16_t>& back = ctx_.Images.ReadBuffer;
  for (std::int32_t c = 0; c < pages; ++c) {
    if (!PageTouched(c, m.FlashDataCount)) continue;
    if (ctx_.StopRequested(texts::Undone(c, pages, "страниц проверки флеши"))) return false;
    const std::int64_t first = static_cast<std::int64_t>(c) * FlashPageSize;
    // Whole written pages, also the last one: words the file did not fill are compared with 0xFFFF.
    Utils.AvrReadFlashBlock(WordAddress(first), static_cast<std::uint16_t>(FlashPageSize), back);
    SetProgress(first + FlashPageSize);
    for (std::int32_t i = 0; i < FlashPageSize; ++i) {
      const std::uint16_t expected = m.FlashImage[static_cast<std::size_t>(first + i)];
      const std::uint16_t read = back[static_cast<std::size_t>(i)];
      if (expected == read) continue;
      ctx_.Log.Append("Ошибка: ");
      ctx_.Log.Append(std::to_string(first + i) + ": " + Hex4(expected) + " - " + Hex4(read));
      if ((expected & ~read) != 0) ctx_.Log.Append(texts::kAvrEraseFirstHint);
      return false;
    }
    if (c % kPagesPerBreak == kPagesPerBreak - 1) ShowProgress();
  }
  // Pages of a chip gone silent read as erased and match an erased image: it must still answer.
  return ChipAnswers();
}

}  // namespace pw
