// "Прочитать Flash" and "Прошить Flash": the chip's program memory to a HEX file, and FlashImage
// to the chip with a verify. Both identify the chip first, so they work with its geometry now.

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "avr/AvrPage.h"
#include "avr/AvrTexts.h"
#include "common/HexDigits.h"
#include "frame/ImageFiles.h"
#include "frame/PartialWrite.h"
#include "frame/ReadClose.h"
#include "frame/Texts.h"
#include "hexfile/HexWriter.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"
#include "model/WindowReporter.h"

namespace pw {
namespace {

/// Pages written between two looks at the window.
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
  ProgrammerSession session(ctx_.Unit, kModeAvr, SessionBaud());
  fileSaved_ = false;
  ReadFlash(*file);
  // Whatever ended the read, the button must be usable for the next one.
  AvrReadFls.Enabled = true;
  AvrPrograss.Position = 0;
  WindowReporter closing(ctx_);
  CloseAfterRead(session, closing, fileSaved_ ? std::optional<std::string>(*file) : std::nullopt);
}

void AvrPage::ReadFlash(const std::string& file) {
  std::string hexText;
  if (!IdentifyChip(false)) return Refuse(texts::AvrNotIdentified(ctx_.DopInfo.Text));
  StartProgress(FlashPagesCount - 1);
  ctx_.Log.Append("чтение флеш");
  std::int32_t address = 0;
  std::optional<std::uint32_t> block;
  const std::int32_t perBlock = PagesPerReadBlock();
  std::vector<std::uint16_t> words(static_cast<std::size_t>(perBlock) * static_cast<std::size_t>(FlashPageSize));
  std::vector<std::uint8_t> raw;
  raw.reserve(2 * static_cast<std::size_t>(FlashPageSize) * static_cast<std::size_t>(FlashPagesCount));
  for (std::int32_t p = 0; p < FlashPagesCount; p += perBlock) {
    if (p > 0 && ctx_.StopRequested(texts::Undone(p, FlashPagesCount, "страниц флеши") + texts::kStoppedRead)) return;
    const std::int32_t pages = std::min(perBlock, FlashPagesCount - p);
    // A chip that stops answering reads as erased: each block carries its own look at the chip.
    if (!ReadFlashPages(p, pages, words)) return Refuse(texts::kAvrFileNotSaved);
    const auto read = std::span(words).first(static_cast<std::size_t>(pages) * FlashPageSize);
    for (std::int32_t k = 0; k < pages; ++k) {
      AppendSegmentRecord(hexText, address, block);
      AppendHexWords(FlashPageSize, read.subspan(static_cast<std::size_t>(k) * FlashPageSize), hexText, address);
    }
    for (const std::uint16_t word : read)
      raw.insert(raw.end(), {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8)});
    SetProgress(p + pages - 1);
    ShowProgress();
  }
  SaveImageFile(file, hexText, raw);
  fileSaved_ = true;
  ctx_.Log.Append("файл сохранён");
}

std::int32_t AvrPage::PagesPerReadBlock() const {
  return std::max<std::int32_t>(1, static_cast<std::int32_t>(AVRUtils::kMaxFlashReadWords) / FlashPageSize);
}

bool AvrPage::ReadFlashPages(std::int32_t page, std::int32_t pages, std::span<std::uint16_t> dest) {
  const std::uint16_t start = WordAddress(static_cast<std::int64_t>(page) * FlashPageSize);
  const auto n = static_cast<std::uint16_t>(pages * FlashPageSize);
  if (Utils.AvrReadFlashBlock(start, n, dest)) return true;
  // No echo: a chip that only lost step is brought back and read again; a silent one ends the read.
  if (!ChipAnswers()) return false;
  if (Utils.AvrReadFlashBlock(start, n, dest)) return true;
  Refuse(texts::kAvrNoAnswer);
  return false;
}

void AvrPage::AvrWriteFlsClick() {
  ctx_.ClearLogIfTicked();
  ProgrammerSession session(ctx_.Unit, kModeAvr, SessionBaud());
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
  WindowReporter out(ctx_);
  PartialWrite partial(out, AvrWriteFls.Caption);
  const std::int32_t pages = (count + FlashPageSize - 1) / FlashPageSize;
  for (std::int32_t b = 0; b < pages; ++b) {
    // A page the file does not touch keeps what the chip holds there.
    if (!PageTouched(b, count)) continue;
    if (ctx_.StopRequested(texts::Undone(b, pages, "страниц флеши") + texts::kStoppedWrite)) return;
    const std::int64_t first = static_cast<std::int64_t>(b) * FlashPageSize;
    const std::int64_t n = std::min<std::int64_t>(count - first, FlashPageSize);
    partial.Begun();
    // The page's batch carries its own look at the chip; only a missing echo costs a re-entry,
    // which also brings a chip that lost step back before the next page.
    const bool answered = Utils.AvrWriteFlashPage(WordAddress(first), static_cast<std::uint16_t>(n), m.FlashImage);
    if (!answered && !ChipAnswers()) return;
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
  const std::int32_t perBlock = PagesPerReadBlock();
  for (std::int32_t c = 0; c < pages;) {
    if (!PageTouched(c, m.FlashDataCount)) {
      ++c;
      continue;
    }
    // Touched pages in a row go in one block. Whole written pages, also the last one: words the
    // file did not fill are compared with 0xFFFF.
    std::int32_t run = 1;
    while (run < perBlock && c + run < pages && PageTouched(c + run, m.FlashDataCount)) ++run;
    // Pages of a chip gone silent read as erased and match an erased image: every block carries a look at the chip.
    if (ctx_.StopRequested(texts::Undone(c, pages, "страниц проверки флеши"))) return false;
    if (!ReadFlashPages(c, run, back)) return false;
    const std::int64_t first = static_cast<std::int64_t>(c) * FlashPageSize;
    const std::int64_t words = static_cast<std::int64_t>(run) * FlashPageSize;
    SetProgress(first + words);
    for (std::int64_t i = 0; i < words; ++i) {
      const std::uint16_t expected = m.FlashImage[static_cast<std::size_t>(first + i)];
      const std::uint16_t read = back[static_cast<std::size_t>(i)];
      if (expected == read) continue;
      ctx_.Log.Append("Ошибка: ");
      ctx_.Log.Append(std::to_string(first + i) + ": " + Hex4(expected) + " - " + Hex4(read));
      if ((expected & ~read) != 0) ctx_.Log.Append(texts::kAvrEraseFirstHint);
      return false;
    }
    ShowProgress();
    c += run;
  }
  return true;
}

}  // namespace pw
