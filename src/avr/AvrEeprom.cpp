// "Прочитать Eeprom" and "Прошить Eeprom": the chip's data EEPROM to a HEX file, and EepromImage
// to the chip with a verify. Both use the geometry of the last identification.

#include <algorithm>
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

/// The EEPROM is read and verified 16 bytes (one HEX record) at a time.
constexpr std::int32_t kBlockBytes = 16;
/// Blocks between two looks at whether the chip still answers.
constexpr std::int32_t kBlocksPerCheck = 16;

std::uint16_t ByteAddress(std::int64_t address) { return static_cast<std::uint16_t>(address & 0xFFFF); }

/// Byte i of a block read into little-endian word pairs.
std::uint8_t BlockByte(const std::vector<std::uint16_t>& words, std::int32_t i) {
  const std::uint16_t word = words[static_cast<std::size_t>(i / 2)];
  return static_cast<std::uint8_t>(i % 2 == 0 ? word & 0xFF : word >> 8);
}

std::string MismatchLine(std::int64_t address, int expected, int read) {
  return "Ошибка! адресс:" + HexDigits(static_cast<std::uint32_t>(address), 4) + "-" + std::to_string(expected) + "<>" +
         std::to_string(read);
}

}  // namespace

void AvrPage::AvrReadEepClick() {
  ctx_.ClearLogIfTicked();
  const auto file = ctx_.Host.ChooseSaveFile(kImageFilter, texts::kHexExtension);
  if (!file) return;
  ctx_.Log.Append("Файл Еепром: " + *file);
  ProgrammerSession session(ctx_.Unit, kModeAvr, SessionBaud());
  fileSaved_ = false;
  ReadEeprom(*file);
  WindowReporter closing(ctx_);
  CloseAfterRead(session, closing, fileSaved_ ? std::optional<std::string>(*file) : std::nullopt);
}

void AvrPage::ReadEeprom(const std::string& file) {
  // The geometry is the last identification's; only a sound one may be used.
  if (!ChipKnown) return Refuse(texts::AvrNotIdentified(ctx_.DopInfo.Text));
  const std::int64_t size = static_cast<std::int64_t>(EepromPagesCount) * EepromPageSize;
  // Without EEPROM there is nothing to read, and the bar's range would end below its start.
  if (size <= 0) return Refuse(texts::AvrNoMemory("EEPROM"));
  StartProgress(static_cast<std::int32_t>(size - 1));
  ctx_.Log.Append("чтение EEPROM");
  std::string hexText;
  std::int32_t address = 0;
  if (!ChipAnswers()) return Refuse(texts::kAvrFileNotSaved);
  std::vector<std::uint16_t>& block = ctx_.Images.ReadBuffer;
  const std::int64_t blocks = (size - 1) / kBlockBytes + 1;
  std::vector<std::uint8_t> raw;
  for (std::int64_t k = 0; k < blocks; ++k) {
    if (k > 0 &&
        ctx_.StopRequested(texts::Undone(k * kBlockBytes, blocks * kBlockBytes, "байт EEPROM") + texts::kStoppedRead))
      return;
    if (k % kBlocksPerCheck == 0 && k > 0 && !ChipAnswers()) return Refuse(texts::kAvrFileNotSaved);
    Utils.AvrReadEepromBlock(block, kBlockBytes, ByteAddress(address));
    AppendHexWords(kBlockBytes / 2, block, hexText, address);
    for (std::int32_t i = 0; i < kBlockBytes && static_cast<std::int64_t>(raw.size()) < size; ++i)
      raw.push_back(BlockByte(block, i));
    SetProgress(address);
    ShowProgress();
  }
  if (!ChipAnswers()) return Refuse(texts::kAvrFileNotSaved);
  SaveImageFile(file, hexText, raw);
  fileSaved_ = true;
  ctx_.Log.Append("чтение Eeprom завершено");
}

void AvrPage::AvrWriteEepClick() {
  ctx_.ClearLogIfTicked();
  ProgrammerSession session(ctx_.Unit, kModeAvr, SessionBaud());
  WriteEeprom();
  AvrPrograss.Position = 0;
  ShowProgress();
  session.Close();
}

void AvrPage::WriteEeprom() {
  if (!ChipKnown) return Refuse(texts::AvrNotIdentified(ctx_.DopInfo.Text));
  if (!ChipAnswers()) return;
  const std::int32_t count = ctx_.Images.EepromDataCount;
  const std::int64_t size = static_cast<std::int64_t>(EepromPagesCount) * EepromPageSize;
  if (size <= 0) return Refuse(texts::AvrNoMemory("EEPROM"));
  // Addresses wrap at the EEPROM's end: the excess would overwrite its first bytes.
  if (count > size) return RefuseInput(texts::AvrFileTooLarge(count, size, "байт"));
  if (count == 0) return RefuseInput(texts::kNothingToWrite);
  StartProgress(count);
  ctx_.Log.Append("прошивание EEPROM:" + std::to_string(count) + " байт");
  WindowReporter out(ctx_);
  PartialWrite partial(out, AvrWriteEep.Caption);
  // Chips without EEPROM page commands ignore them: a page write would change nothing.
  const bool written = EepromByteWrite ? WriteEepromBytes(count, partial) : WriteEepromPages(count, partial);
  if (!written) return;
  partial.Finished();
  ctx_.Log.Append("прошивание EEPROM завершено");
  ctx_.Log.Append("проверка записи EEPROM");
  if (!ChipAnswers()) return;
  if (VerifyEeprom(count)) ctx_.Log.Append("Ошибок нет");
}

bool AvrPage::WriteEepromPages(std::int32_t count, PartialWrite& partial) {
  const auto& filled = ctx_.Images.EepromFilled;
  const std::int32_t pages = (count + EepromPageSize - 1) / EepromPageSize;
  for (std::int32_t b = 0; b < pages; ++b) {
    const std::int64_t first = static_cast<std::int64_t>(b) * EepromPageSize;
    const std::int64_t n = std::min<std::int64_t>(count - first, EepromPageSize);
    // Only the bytes the file holds are loaded: the rest of the page keeps what it had.
    std::vector<std::uint32_t> offsets;
    for (std::int64_t i = 0; i < n; ++i) {
      if (filled[static_cast<std::size_t>(first + i)]) offsets.push_back(static_cast<std::uint32_t>(i));
    }
    if (offsets.empty()) continue;
    if (ctx_.StopRequested(texts::Undone(first, count, "байт EEPROM") + texts::kStoppedWrite)) return false;
    partial.Begun();
    // The page's batch carries its own look at the chip (the write checked it before the first page).
    if (!Utils.AvrWriteEepromPageBytes(static_cast<std::uint32_t>(first), ctx_.Images.EepromImage, offsets) &&
        !ChipAnswers()) {
      return false;
    }
    SetProgress(first);
    ShowProgress();
  }
  return true;
}

bool AvrPage::WriteEepromBytes(std::int32_t count, PartialWrite& partial) {
  const auto& filled = ctx_.Images.EepromFilled;
  // Grouped by the datasheet's pages only to look at the chip and the window now and then.
  for (std::int64_t first = 0; first < count; first += EepromPageSize) {
    const std::int64_t end = std::min<std::int64_t>(first + EepromPageSize, count);
    if (std::none_of(filled.begin() + first, filled.begin() + end, [](bool f) { return f; })) continue;
    if (ctx_.StopRequested(texts::Undone(first, count, "байт EEPROM") + texts::kStoppedWrite)) return false;
    if (!ChipAnswers()) return false;
    partial.Begun();
    for (std::int64_t a = first; a < end; ++a) {
      if (filled[static_cast<std::size_t>(a)])
        Utils.AvrWriteEepromByte(ByteAddress(a), ctx_.Images.EepromImage[static_cast<std::size_t>(a)]);
    }
    SetProgress(first);
    ShowProgress();
  }
  return true;
}

bool AvrPage::VerifyEeprom(std::int32_t count) {
  const auto& filled = ctx_.Images.EepromFilled;
  std::vector<std::uint16_t>& block = ctx_.Images.ReadBuffer;
  for (std::int64_t first = 0; first < count; first += kBlockBytes) {
    const std::int32_t n = static_cast<std::int32_t>(std::min<std::int64_t>(kBlockBytes, count - first));
    if (std::none_of(filled.begin() + first, filled.begin() + first + n, [](bool f) { return f; })) continue;
    if (ctx_.StopRequested(texts::Undone(first, count, "байт проверки EEPROM"))) return false;
    Utils.AvrReadEepromBlock(block, kBlockBytes, ByteAddress(first));
    // Only the bytes the file holds were written; the others may hold anything.
    for (std::int32_t i = 0; i < n; ++i) {
      if (!filled[static_cast<std::size_t>(first + i)]) continue;
      const std::uint8_t expected = ctx_.Images.EepromImage[static_cast<std::size_t>(first + i)];
      const std::uint8_t read = BlockByte(block, i);
      if (expected == read) continue;
      Refuse(MismatchLine(first + i, expected, read));
      return false;
    }
    SetProgress(first);
    ShowProgress();
  }
  // Bytes of a chip gone silent read as erased and match an erased image: it must still answer.
  return ChipAnswers();
}

}  // namespace pw
