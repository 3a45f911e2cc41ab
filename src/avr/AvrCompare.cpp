// Comparing the chip with an image: the one flash compare and the one EEPROM compare, which the
// writes' verifies and the verifies without writing share, and the verify steps.

#include <algorithm>

#include "avr/AvrOperations.h"
#include "avr/AvrTexts.h"
#include "frame/Texts.h"

namespace pw {
namespace {

constexpr const char* kCancelled = "проверка отменена";

Refusal NothingToVerify(std::int32_t count) { return count == 0 ? Refusal(texts::kNothingToVerify) : std::nullopt; }

}  // namespace

std::int32_t AvrOperations::TouchedPages(const ImageData<std::uint16_t>& image, std::int32_t page,
                                         std::int32_t pages) const {
  const auto size = static_cast<std::size_t>(chip_->FlashPageWords());
  const auto touched = [&](std::int32_t p) {
    const std::size_t first = static_cast<std::size_t>(p) * size;
    return image.HoldsAny(first, std::min(first + size, static_cast<std::size_t>(image.Count)));
  };
  std::int32_t n = 0;
  while (n < PagesPerReadBlock() && page + n < pages && touched(page + n)) ++n;
  return n;
}

std::optional<ImageDifferences> AvrOperations::CompareFlash(OperationRun& run, const ImageData<std::uint16_t>& image,
                                                            bool untilFirst) {
  const std::int32_t size = chip_->FlashPageWords();
  const std::int32_t pages = (image.Count + size - 1) / size;
  std::vector<std::uint16_t> back(static_cast<std::size_t>(PagesPerReadBlock()) * static_cast<std::size_t>(size));
  ImageDifferences differences;
  avr_.ForgetFlashBank();
  for (std::int32_t page = 0; page < pages && !(untilFirst && differences.Count() > 0);) {
    // Touched pages in a row go in one block; pages of a chip gone silent read as erased, so
    // every block carries a look at the chip.
    const std::int32_t n = TouchedPages(image, page, pages);
    if (n == 0) {
      ++page;
      continue;
    }
    if (run.StopRequested(texts::Undone(page, pages, "страниц проверки флеши"))) return std::nullopt;
    if (!ReadFlashPages(run, page, n, back)) return std::nullopt;
    const std::int64_t first = static_cast<std::int64_t>(page) * size;
    const std::size_t words = static_cast<std::size_t>(n) * static_cast<std::size_t>(size);
    differences.Compare(image.Values, *image.Filled, static_cast<std::uint32_t>(first),
                        std::span<const std::uint16_t>(back).first(words));
    run.Progress(first + static_cast<std::int64_t>(words));
    page += n;
  }
  return differences;
}

std::optional<ImageDifferences> AvrOperations::CompareEeprom(OperationRun& run, const ImageData<std::uint8_t>& image,
                                                             bool untilFirst) {
  std::vector<std::uint16_t> words(kEepromBlockBytes / 2);
  std::vector<std::uint8_t> bytes(kEepromBlockBytes);
  ImageDifferences differences;
  for (std::int64_t first = 0; first < image.Count && !(untilFirst && differences.Count() > 0);
       first += kEepromBlockBytes) {
    const std::int64_t end = std::min<std::int64_t>(first + kEepromBlockBytes, image.Count);
    if (!image.HoldsAny(static_cast<std::size_t>(first), static_cast<std::size_t>(end))) continue;
    if (run.StopRequested(texts::Undone(first, image.Count, "байт проверки EEPROM"))) return std::nullopt;
    avr_.AvrReadEepromBlock(words, kEepromBlockBytes, Address(first));
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = EepromBlockByte(words, i);
    differences.Compare(image.Values, *image.Filled, static_cast<std::uint32_t>(first),
                        std::span<const std::uint8_t>(bytes).first(static_cast<std::size_t>(end - first)));
    run.Progress(end);
  }
  // Bytes of a chip gone silent read as erased and match an erased image: it must still answer.
  if (!ChipAnswers(run)) return std::nullopt;
  return differences;
}

OperationStep AvrOperations::VerifyFlash(ImageData<std::uint16_t> image) {
  Require(AvrNeed::ServedChip);
  return {
      .CheckInputs = [image] { return NothingToVerify(image.Count); },
      .CheckTarget = [this, image] { return TooLarge(image.Count, chip_->FlashWords(), "слов", kCancelled); },
      .Act =
          [this, image](OperationRun& run) {
            run.Log("сравнение флеши с файлом: " + std::to_string(image.Count) + " слов");
            run.StartProgress(image.Count);
            if (const auto found = CompareFlash(run, image, false)) {
              ReportDifferences(run, *found, "Флеш совпадает с файлом", "Ошибка: флеш отличается от файла", "слово", 4);
            }
          },
  };
}

OperationStep AvrOperations::BlankCheck() {
  Require(AvrNeed::ServedChip);
  return {.Act = [this](OperationRun& run) {
    // A blank chip reads 0xFFFF in every word.
    const auto words = static_cast<std::size_t>(chip_->FlashWords());
    const std::vector<std::uint16_t> erased(words, 0xFFFF);
    const std::vector<bool> everyWord(words, true);
    run.Log("проверка чистоты флеши");
    run.StartProgress(chip_->FlashWords());
    if (const auto found = CompareFlash(run, {erased, &everyWord, static_cast<std::int32_t>(words)}, false)) {
      ReportDifferences(run, *found, "Флеш чистая", "Ошибка: флеш не чистая", "слово", 4);
    }
  }};
}

OperationStep AvrOperations::VerifyEeprom(ImageData<std::uint8_t> image) {
  Require(AvrNeed::ServedChip);
  needsEeprom_ = true;
  return {
      .CheckInputs = [image] { return NothingToVerify(image.Count); },
      .CheckTarget = [this, image] { return TooLarge(image.Count, chip_->EepromBytes(), "байт", kCancelled); },
      .Act =
          [this, image](OperationRun& run) {
            if (!ChipAnswers(run)) return;
            run.Log("сравнение EEPROM с файлом: " + std::to_string(image.Count) + " байт");
            run.StartProgress(image.Count);
            if (const auto found = CompareEeprom(run, image, false)) {
              ReportDifferences(run, *found, "EEPROM совпадает с файлом", "Ошибка: EEPROM отличается от файла", "байт",
                                2);
            }
          },
  };
}

}  // namespace pw
