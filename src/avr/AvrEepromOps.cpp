// The EEPROM read and write: the chip's data EEPROM to a file, and an image to the chip with its
// verify.

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

/// Blocks read between two looks at whether the chip still answers.
constexpr std::int64_t kBlocksPerCheck = 16;

}  // namespace

OperationStep AvrOperations::ReadEeprom(ImageFile file) {
  Require(AvrNeed::ServedChip);
  needsEeprom_ = true;
  return {.Act = [this, file](OperationRun& run) { ReadEepromTo(run, file); }};
}

void AvrOperations::ReadEepromTo(OperationRun& run, const ImageFile& file) {
  const std::int64_t size = chip_->EepromBytes();
  run.StartProgress(size - 1);
  run.Log("чтение EEPROM");
  if (!ChipAnswers(run)) return run.TargetFailed(texts::kAvrFileNotSaved);
  std::vector<std::uint16_t> block(kEepromBlockBytes / 2);
  std::vector<std::uint8_t> raw;
  std::string hexText;
  std::int32_t address = 0;
  const std::int64_t blocks = (size - 1) / kEepromBlockBytes + 1;
  for (std::int64_t k = 0; k < blocks; ++k) {
    const std::string undone = texts::Undone(k * kEepromBlockBytes, blocks * kEepromBlockBytes, "байт EEPROM");
    if (k > 0 && run.StopRequested(undone + texts::kStoppedRead)) return;
    if (k % kBlocksPerCheck == 0 && k > 0 && !ChipAnswers(run)) return run.TargetFailed(texts::kAvrFileNotSaved);
    avr_.AvrReadEepromBlock(block, kEepromBlockBytes, Address(address));
    AppendHexWords(kEepromBlockBytes / 2, block, hexText, address);
    for (std::size_t i = 0; i < static_cast<std::size_t>(kEepromBlockBytes) && std::ssize(raw) < size; ++i)
      raw.push_back(EepromBlockByte(block, i));
    run.Progress(address);
  }
  if (!ChipAnswers(run)) return run.TargetFailed(texts::kAvrFileNotSaved);
  SaveImageFile(file, hexText, raw);
  run.Saved(file.Name.string());
  run.Log("чтение Eeprom завершено");
}

OperationStep AvrOperations::WriteEeprom(ImageData<std::uint8_t> image) {
  Require(AvrNeed::ServedChip);
  needsEeprom_ = true;
  OperationStep step{
      .CheckInputs = [image]() -> Refusal { return image.Count == 0 ? Refusal(texts::kNothingToWrite) : std::nullopt; },
      .CheckTarget = [this, image] { return TooLarge(image.Count, chip_->EepromBytes(), "байт", "запись отменена"); },
      .Act = [this, image](OperationRun& run) { WriteEepromImage(run, image); },
  };
  return AskIfDamaged(std::move(step), image.Damaged);
}

void AvrOperations::WriteEepromImage(OperationRun& run, const ImageData<std::uint8_t>& image) {
  if (!ChipAnswers(run)) return;
  run.StartProgress(image.Count);
  run.Log("прошивание EEPROM:" + std::to_string(image.Count) + " байт");
  PartialWrite partial(run.Out(), texts::kAvrWriteEeprom);
  // Chips without EEPROM page commands ignore them: a page write would change nothing.
  const bool byBytes = chip_->Description.EepromByteWrite;
  if (!(byBytes ? WriteEepromBytes(run, image, partial) : WriteEepromPages(run, image, partial))) return;
  partial.Finished();
  run.Log("прошивание EEPROM завершено");
  run.Log("проверка записи EEPROM");
  if (!ChipAnswers(run)) return;
  const auto found = CompareEeprom(run, image, true);
  if (!found) return;
  if (found->Count() == 0) return run.Log("Ошибок нет");
  run.LogFault(texts::kAvrEepromVerifyFailed);
  LogDifferences(run, *found, "байт", 2, false);
  run.MarkTargetFailed();
}

bool AvrOperations::WriteEepromPages(OperationRun& run, const ImageData<std::uint8_t>& image, PartialWrite& partial) {
  const std::int32_t size = chip_->EepromPageBytes();
  for (std::int64_t first = 0; first < image.Count; first += size) {
    const std::int64_t n = std::min<std::int64_t>(image.Count - first, size);
    // Only the bytes the file holds are loaded: the rest of the page keeps what it had.
    std::vector<std::uint32_t> offsets;
    for (std::int64_t i = 0; i < n; ++i) {
      if (image.Holds(static_cast<std::size_t>(first + i))) offsets.push_back(static_cast<std::uint32_t>(i));
    }
    if (offsets.empty()) continue;
    if (run.StopRequested(texts::Undone(first, image.Count, "байт EEPROM") + texts::kStoppedWrite)) return false;
    partial.Begun();
    // The page's batch carries its own look at the chip (the write looked before the first page).
    const bool answered = avr_.AvrWriteEepromPageBytes(static_cast<std::uint32_t>(first), image.Values, offsets);
    if (!answered && !ChipAnswers(run)) return false;
    run.Progress(first);
  }
  return true;
}

bool AvrOperations::WriteEepromBytes(OperationRun& run, const ImageData<std::uint8_t>& image, PartialWrite& partial) {
  const std::int32_t size = chip_->EepromPageBytes();
  // Grouped by the datasheet's pages only to look at the chip and the person now and then.
  for (std::int64_t first = 0; first < image.Count; first += size) {
    const std::int64_t end = std::min<std::int64_t>(first + size, image.Count);
    if (!image.HoldsAny(static_cast<std::size_t>(first), static_cast<std::size_t>(end))) continue;
    if (run.StopRequested(texts::Undone(first, image.Count, "байт EEPROM") + texts::kStoppedWrite)) return false;
    if (!ChipAnswers(run)) return false;
    partial.Begun();
    for (std::int64_t a = first; a < end; ++a) {
      if (image.Holds(static_cast<std::size_t>(a)))
        avr_.AvrWriteEepromByte(Address(a), image.Values[static_cast<std::size_t>(a)]);
    }
    run.Progress(first);
  }
  return true;
}

}  // namespace pw
