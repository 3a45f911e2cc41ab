// The three operations that move data between the chip and the images or files.

#include <algorithm>
#include <vector>

#include "frame/ImageDifferences.h"
#include "frame/ImageFiles.h"
#include "frame/PartialWrite.h"
#include "frame/ReadClose.h"
#include "frame/Texts.h"
#include "hexfile/HexWriter.h"
#include "i2c/I2cPage.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"
#include "model/WindowReporter.h"

namespace pw {

bool I2cPage::WriteAll(std::int32_t count, const std::function<std::uint8_t(std::int32_t)>& value,
                       const std::function<bool(std::int32_t)>& wanted, PartialWrite& partial) {
  I2cGroups groups(ctx_.Unit, Addressing());
  // Groups are the chip's pages, aligned: a run inside one never rolls over onto the page's start.
  // A page longer than one exchange can carry goes in several runs, each still inside the page.
  const std::int32_t group = std::max<std::int32_t>(1, I2cPageSize);  // WriteProblem refuses a page size below 1
  const std::int32_t most = I2cGroups::MostWriteBytes(Addressing());
  std::vector<std::uint8_t> data;
  for (std::int32_t at = 0; at < count; at += group) {
    if (ctx_.StopRequested(texts::Undone(at, count, "байт EEPROM") + texts::kStoppedWrite)) return false;
    const std::int32_t end = std::min<std::int32_t>(at + group, count);
    for (std::int32_t start = at; start < end;) {
      if (!wanted(start)) {
        ++start;
        continue;
      }
      data.clear();
      while (start + static_cast<std::int32_t>(data.size()) < end && static_cast<std::int32_t>(data.size()) < most &&
             wanted(start + static_cast<std::int32_t>(data.size()))) {
        data.push_back(value(start + static_cast<std::int32_t>(data.size())));
      }
      const I2cGroupResult result = groups.Write(static_cast<std::uint32_t>(start), data);
      if (result != I2cGroupResult::Done) {
        ChipFailed(result, static_cast<std::uint32_t>(start), "запись прервана");
        return false;
      }
      // A chip that took one group is changed: a failure from here on leaves it partly written.
      partial.Begun();
      start += static_cast<std::int32_t>(data.size());
    }
    MoveProgress(end - 1);
  }
  partial.Finished();
  return true;
}

void I2cPage::RefuseInput(const std::string& problem) {
  ctx_.Log.Append(problem);
  ctx_.MarkInputRefused();
}

bool I2cPage::ReadBytes(std::vector<std::uint8_t>& bytes, const char* consequence, const char* stopped) {
  I2cGroups groups(ctx_.Unit, Addressing());
  const auto count = static_cast<std::int32_t>(bytes.size());
  // One addressing per run: the chip's address counter carries on across pages (and the blocks
  // of the small parts) up to its last byte.
  const std::int32_t run = I2cGroups::MostReadBytes(Addressing());
  for (std::int32_t start = 0; start < count; start += run) {
    if (ctx_.StopRequested(texts::Undone(start, count, "байт EEPROM") + stopped)) return false;
    const auto n = static_cast<std::size_t>(std::min<std::int32_t>(run, count - start));
    const I2cGroupResult result =
        groups.Read(static_cast<std::uint32_t>(start), std::span(bytes).subspan(static_cast<std::size_t>(start), n));
    if (result != I2cGroupResult::Done) {
      ChipFailed(result, static_cast<std::uint32_t>(start), consequence);
      return false;
    }
    MoveProgress(start + static_cast<int>(n));
  }
  return true;
}

bool I2cPage::ReadAll(std::string& hexText, std::vector<std::uint8_t>& bytes) {
  bytes.assign(static_cast<std::size_t>(EepromSize), 0);
  if (!ReadBytes(bytes, "файл не сохранён", texts::kStoppedRead)) return false;
  // Records of 16 bytes in address order; a size that is not a multiple of 16 ends in a short record.
  std::int32_t address = 0;
  std::optional<std::uint32_t> lastBlock;
  for (std::int32_t at = 0; at < EepromSize; at += 16) {
    AppendSegmentRecord(hexText, address, lastBlock);
    AppendHexBytes(std::min<std::int32_t>(16, EepromSize - at), bytes, hexText, address, 0, at);
  }
  return true;
}

void I2cPage::I2cEepromReadClick() {
  SetProgress(EepromSize, 0);
  const auto file = ctx_.Host.ChooseSaveFile(kImageFilter, "hex");
  if (!file) return;
  ctx_.Log.Append("файл.EEPROM: " + *file);
  if (const auto problem = SizeProblem(0, "чтение отменено")) return RefuseInput(*problem);
  ProgrammerSession session(ctx_.Unit, kModeI2c, ctx_.ProgrammerBaud);
  ctx_.Log.Append("чтение EEPROM");
  std::string hexText;
  std::vector<std::uint8_t> bytes;
  bool saved = false;
  if (ReadAll(hexText, bytes)) {
    SaveImageFile(*file, hexText, bytes);
    saved = true;
    ctx_.Log.Append("чтение Eeprom завершено");
  }
  MoveProgress(0);
  WindowReporter closing(ctx_);
  CloseAfterRead(session, closing, saved ? std::optional<std::string>(*file) : std::nullopt);
}

void I2cPage::I2cEepromWriteClick() {
  const std::int32_t count = ctx_.Images.EepromDataCount;
  if (const auto problem = WriteProblem(count, "запись отменена")) return RefuseInput(*problem);
  ProgrammerSession session(ctx_.Unit, kModeI2c, ctx_.ProgrammerBaud);
  SetProgress(count, 0);
  ctx_.Log.Append("прошивание EEPROM:" + std::to_string(count) + "байт");
  const auto& image = ctx_.Images.EepromImage;
  const auto& filled = ctx_.Images.EepromFilled;
  // Only the bytes the file holds: the rest of the chip keeps what it had.
  WindowReporter out(ctx_);
  PartialWrite partial(out, I2cEepromWrite.Caption);
  if (WriteAll(
          count, [&](std::int32_t i) { return image[static_cast<std::size_t>(i)]; },
          [&](std::int32_t i) { return static_cast<bool>(filled[static_cast<std::size_t>(i)]); }, partial)) {
    ctx_.Log.Append("прошивание EEPROM завершено");
  }
  session.Close();
  MoveProgress(0);
}

void I2cPage::I2cEepromVerifyClick() {
  const std::int32_t count = ctx_.Images.EepromDataCount;
  if (count == 0) return RefuseInput(texts::kNothingToVerify);
  if (const auto problem = SizeProblem(count, "проверка отменена")) return RefuseInput(*problem);
  ProgrammerSession session(ctx_.Unit, kModeI2c, ctx_.ProgrammerBaud);
  SetProgress(count, 0);
  ctx_.Log.Append("сравнение EEPROM с файлом: " + std::to_string(count) + " байт");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
  if (ReadBytes(bytes, "проверка не закончена", "")) {
    ImageDifferences differences;
    differences.Compare(ctx_.Images.EepromImage, ctx_.Images.EepromFilled, 0, bytes);
    if (differences.Count() == 0) {
      ctx_.Log.Append("EEPROM совпадает с файлом");
    } else {
      ctx_.Log.Append("Ошибка: EEPROM отличается от файла");
      for (const std::string& line : differences.Lines("байт", 2)) ctx_.Log.Append(line);
      ctx_.MarkTargetFailed();
    }
  }
  session.Close();
  MoveProgress(0);
}

void I2cPage::I2cEepromEraseClick() {
  if (const auto problem = WriteProblem(0, "стирание отменено")) return RefuseInput(*problem);
  ProgrammerSession session(ctx_.Unit, kModeI2c, ctx_.ProgrammerBaud);
  SetProgress(EepromSize, 0);
  ctx_.Log.Append("стирание EEPROM");
  const auto erased = [](std::int32_t) { return std::uint8_t{0xFF}; };
  const auto every = [](std::int32_t) { return true; };
  WindowReporter out(ctx_);
  PartialWrite partial(out, I2cEepromErase.Caption);
  if (WriteAll(EepromSize, erased, every, partial)) ctx_.Log.Append("стирание EEPROM завершено");
  session.Close();
  MoveProgress(0);
}

}  // namespace pw
