// The flash read and write: the chip's program memory to a file, and an image to the chip with
// its verify.

#include <algorithm>

#include "avr/AvrOperations.h"
#include "avr/AvrTexts.h"
#include "common/HexDigits.h"
#include "frame/DamagedFile.h"
#include "frame/ImageFiles.h"
#include "frame/Texts.h"
#include "hexfile/HexWriter.h"

namespace pw {
namespace {

/// Pages written between two progress reports (each lets the window handle its events).
constexpr std::int32_t kPagesPerBreak = 16;

/// The HEX text of a whole flash of words, pageWords words a page, and its bytes low byte first.
void FlashFileContents(std::span<const std::uint16_t> words, std::int32_t pageWords, std::string& hexText,
                       std::vector<std::uint8_t>& raw) {
  std::int32_t address = 0;
  std::optional<std::uint32_t> block;
  for (std::size_t first = 0; first < words.size(); first += static_cast<std::size_t>(pageWords)) {
    AppendSegmentRecord(hexText, address, block);
    AppendHexWords(pageWords, words.subspan(first), hexText, address);
  }
  raw.reserve(2 * words.size());
  for (const std::uint16_t word : words)
    raw.insert(raw.end(), {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8)});
}

}  // namespace

OperationStep AvrOperations::ReadFlash(ImageFile file) {
  Require(AvrNeed::ServedChip);
  return {.Act = [this, file](OperationRun& run) { ReadFlashTo(run, file); }};
}

void AvrOperations::ReadFlashTo(OperationRun& run, const ImageFile& file) {
  const std::int32_t pages = chip_->FlashPages();
  const std::int32_t size = chip_->FlashPageWords();
  run.StartProgress(pages - 1);
  run.Log("чтение флеш");
  avr_.ForgetFlashBank();
  std::vector<std::uint16_t> words(static_cast<std::size_t>(chip_->FlashWords()));
  const std::int32_t perBlock = PagesPerReadBlock();
  for (std::int32_t p = 0; p < pages; p += perBlock) {
    if (p > 0 && run.StopRequested(texts::Undone(p, pages, "страниц флеши") + texts::kStoppedRead)) return;
    const std::int32_t n = std::min(perBlock, pages - p);
    // A chip that stops answering reads as erased: each block carries its own look at the chip.
    const auto dest = std::span(words).subspan(static_cast<std::size_t>(p) * static_cast<std::size_t>(size));
    if (!ReadFlashPages(run, p, n, dest)) return run.TargetFailed(texts::kAvrFileNotSaved);
    run.Progress(p + n - 1);
  }
  std::string hexText;
  std::vector<std::uint8_t> raw;
  FlashFileContents(words, size, hexText, raw);
  SaveImageFile(file, hexText, raw);
  run.Saved(file.Name.string());
  run.Log("файл сохранён");
}

std::int32_t AvrOperations::PagesPerReadBlock() const {
  return std::max<std::int32_t>(1, static_cast<std::int32_t>(AVRUtils::kMaxFlashReadWords) / chip_->FlashPageWords());
}

bool AvrOperations::ReadFlashPages(OperationRun& run, std::int32_t page, std::int32_t pages,
                                   std::span<std::uint16_t> dest) {
  const auto start = static_cast<std::uint32_t>(static_cast<std::int64_t>(page) * chip_->FlashPageWords());
  const auto n = static_cast<std::uint16_t>(pages * chip_->FlashPageWords());
  if (avr_.AvrReadFlashBlock(start, n, dest)) return true;
  // No echo: a chip that only lost step is brought back and read again; a silent one ends the read.
  if (!ChipAnswers(run)) return false;
  if (avr_.AvrReadFlashBlock(start, n, dest)) return true;
  run.TargetFailed(texts::kAvrNoAnswer);
  return false;
}

OperationStep AvrOperations::WriteFlash(ImageData<std::uint16_t> image) {
  Require(AvrNeed::ServedChip);
  OperationStep step{
      .CheckInputs = [image]() -> Refusal { return image.Count == 0 ? Refusal(texts::kNothingToWrite) : std::nullopt; },
      .CheckTarget = [this, image] { return TooLarge(image.Count, chip_->FlashWords(), "слов", "запись отменена"); },
      .Act = [this, image](OperationRun& run) { WriteFlashImage(run, image); },
  };
  return AskIfDamaged(std::move(step), image.Damaged);
}

void AvrOperations::WriteFlashImage(OperationRun& run, const ImageData<std::uint16_t>& image) {
  const std::int32_t size = chip_->FlashPageWords();
  run.StartProgress(image.Count);
  run.Log("запись во флеш " + std::to_string(image.Count) + " слов");
  PartialWrite partial(run.Out(), texts::kAvrWriteFlash);
  avr_.ForgetFlashBank();
  const std::int32_t pages = (image.Count + size - 1) / size;
  for (std::int32_t b = 0; b < pages; ++b) {
    const std::int64_t first = static_cast<std::int64_t>(b) * size;
    const std::int64_t n = std::min<std::int64_t>(image.Count - first, size);
    // A page the file does not touch keeps what the chip holds there.
    if (!image.HoldsAny(static_cast<std::size_t>(first), static_cast<std::size_t>(first + n))) continue;
    if (run.StopRequested(texts::Undone(b, pages, "страниц флеши") + texts::kStoppedWrite)) return;
    partial.Begun();
    // The page's batch carries its own look at the chip; only a missing echo costs a re-entry,
    // which also brings a chip that lost step back before the next page.
    const bool answered =
        avr_.AvrWriteFlashPage(static_cast<std::uint32_t>(first), static_cast<std::uint16_t>(n), image.Values);
    if (!answered && !ChipAnswers(run)) return;
    if (b % kPagesPerBreak == kPagesPerBreak - 1) run.Progress(first + size);
  }
  partial.Finished();
  VerifyWrittenFlash(run, image);
}

void AvrOperations::VerifyWrittenFlash(OperationRun& run, const ImageData<std::uint16_t>& image) {
  run.Log("проверка записи");
  avr_.AvrSetPins(AVRUtils::kResetReleased);
  unit_.Wait(AVRUtils::kRestartWaitMs);
  if (!ChipAnswers(run)) return;
  const auto found = CompareFlash(run, image, true);
  if (found && found->Count() == 0) return run.Log("Ошибок нет");
  if (run.Stopping()) return;
  run.LogFault(texts::kAvrFlashVerifyFailed);
  if (found) {
    LogDifferences(run, *found, "слово", 4, false);
    // Bits the file wants at 1 that the chip holds at 0: programming only clears bits.
    const ImageDifference& first = found->First().front();
    if ((first.Expected & ~first.Read) != 0)
      run.LogFault(texts::AvrEraseFirstHint(run.Out().Name(texts::kAvrEraseFirst)));
  }
  run.MarkTargetFailed();
}

}  // namespace pw
