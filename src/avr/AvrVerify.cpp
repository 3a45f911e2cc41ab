// Comparing the chip with a loaded file, or with an erased chip, without writing anything.

#include <algorithm>
#include <span>
#include <vector>

#include "avr/AvrPage.h"
#include "avr/AvrTexts.h"
#include "frame/ImageDifferences.h"
#include "frame/Texts.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"

namespace pw {
namespace {

/// Bytes compared per EEPROM read, as the EEPROM read and verify do.
constexpr std::int32_t kEepromBlock = 16;
constexpr const char* kCancelled = "проверка отменена";

}  // namespace

void AvrPage::AvrVerifyFlsClick() {
  RunCompare([this] { CompareFlash(false); });
}

void AvrPage::AvrBlankCheckClick() {
  RunCompare([this] { CompareFlash(true); });
}

void AvrPage::AvrVerifyEepClick() {
  RunCompare([this] { CompareEeprom(); });
}

void AvrPage::RunCompare(const std::function<void()>& compare) {
  ctx_.ClearLogIfTicked();
  ProgrammerSession session(ctx_.Unit, kModeAvr, ctx_.ProgrammerBaud);
  compare();
  AvrPrograss.Position = 0;
  ShowProgress();
  session.Close();
}

void AvrPage::CompareFlash(bool blank) {
  if (!IdentifyChip(false)) return Refuse(texts::AvrNotIdentified(ctx_.DopInfo.Text));
  const std::int64_t chipWords = static_cast<std::int64_t>(FlashPageSize) * FlashPagesCount;
  const MemoryImages& m = ctx_.Images;
  const std::int64_t count = blank ? chipWords : m.FlashDataCount;
  if (count > chipWords) return RefuseInput(texts::AvrFileTooLarge(count, chipWords, "слов", kCancelled));
  if (count == 0) return RefuseInput(texts::kNothingToVerify);
  // A blank chip reads 0xFFFF in every word.
  const std::vector<std::uint16_t> erased(blank ? static_cast<std::size_t>(chipWords) : 0, 0xFFFF);
  const std::vector<bool> everyWord(erased.size(), true);
  const std::span<const std::uint16_t> image = blank ? std::span<const std::uint16_t>(erased) : m.FlashImage;
  const std::vector<bool>& filled = blank ? everyWord : m.FlashFilled;
  ctx_.Log.Append(blank ? "проверка чистоты флеши" : "сравнение флеши с файлом: " + std::to_string(count) + " слов");
  StartProgress(static_cast<std::int32_t>(count));
  ImageDifferences differences;
  std::vector<std::uint16_t>& back = ctx_.Images.ReadBuffer;
  const std::int64_t pages = (count + FlashPageSize - 1) / FlashPageSize;
  for (std::int64_t p = 0; p < pages; ++p) {
    const std::int64_t first = p * FlashPageSize;
    const std::int64_t end = std::min<std::int64_t>(first + FlashPageSize, count);
    if (std::none_of(filled.begin() + first, filled.begin() + end, [](bool f) { return f; })) continue;
    if (ctx_.StopRequested(texts::Undone(p, pages, "страниц проверки флеши"))) return;
    Utils.AvrReadFlashBlock(static_cast<std::uint16_t>(first & 0xFFFF), static_cast<std::uint16_t>(FlashPageSize),
                            back);
    differences.Compare(image, filled, static_cast<std::uint32_t>(first),
                        std::span<const std::uint16_t>(back).first(static_cast<std::size_t>(end - first)));
    SetProgress(end);
    if (p % 16 == 15) ShowProgress();
  }
  // A chip gone silent reads as erased: it must still answer for the result to stand.
  if (!ChipAnswers()) return;
  ReportDifferences(differences, blank ? "Флеш чистая" : "Флеш совпадает с файлом",
                    blank ? "Ошибка: флеш не чистая" : "Ошибка: флеш отличается от файла", "слово", 4);
}

void AvrPage::CompareEeprom() {
  if (!ChipKnown) return Refuse(texts::AvrNotIdentified(ctx_.DopInfo.Text));
  const std::int64_t size = static_cast<std::int64_t>(EepromPagesCount) * EepromPageSize;
  if (size <= 0) return Refuse(texts::AvrNoMemory("EEPROM"));
  const std::int32_t count = ctx_.Images.EepromDataCount;
  if (count > size) return RefuseInput(texts::AvrFileTooLarge(count, size, "байт", kCancelled));
  if (count == 0) return RefuseInput(texts::kNothingToVerify);
  if (!ChipAnswers()) return;
  ctx_.Log.Append("сравнение EEPROM с файлом: " + std::to_string(count) + " байт");
  StartProgress(count);
  const auto& filled = ctx_.Images.EepromFilled;
  ImageDifferences differences;
  std::vector<std::uint16_t>& block = ctx_.Images.ReadBuffer;
  std::vector<std::uint8_t> bytes(kEepromBlock);
  for (std::int64_t first = 0; first < count; first += kEepromBlock) {
    const std::int64_t end = std::min<std::int64_t>(first + kEepromBlock, count);
    if (std::none_of(filled.begin() + first, filled.begin() + end, [](bool f) { return f; })) continue;
    if (ctx_.StopRequested(texts::Undone(first, count, "байт проверки EEPROM"))) return;
    Utils.AvrReadEepromBlock(block, kEepromBlock, static_cast<std::uint16_t>(first & 0xFFFF));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const std::uint16_t word = block[i / 2];
      bytes[i] = static_cast<std::uint8_t>(i % 2 == 0 ? word & 0xFF : word >> 8);
    }
    differences.Compare(ctx_.Images.EepromImage, filled, static_cast<std::uint32_t>(first),
                        std::span<const std::uint8_t>(bytes).first(static_cast<std::size_t>(end - first)));
    SetProgress(end);
    ShowProgress();
  }
  if (!ChipAnswers()) return;
  ReportDifferences(differences, "EEPROM совпадает с файлом", "Ошибка: EEPROM отличается от файла", "байт", 2);
}

void AvrPage::ReportDifferences(const ImageDifferences& differences, const std::string& same, const std::string& differ,
                                const std::string& unit, int digits) {
  if (differences.Count() == 0) {
    ctx_.Log.Append(same);
    return;
  }
  ctx_.Log.Append(differ);
  for (const std::string& line : differences.Lines(unit, digits)) ctx_.Log.Append(line);
  ctx_.MarkTargetFailed();
}

}  // namespace pw
