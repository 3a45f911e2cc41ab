#include "i2c/I2cOperations.h"

#include <vector>

#include "common/HexDigits.h"
#include "frame/DamagedFile.h"
#include "frame/ImageDifferences.h"
#include "frame/ImageFiles.h"
#include "frame/Texts.h"
#include "hexfile/HexWriter.h"
#include "i2c/I2cBus.h"
#include "i2c/I2cDiagnosis.h"
#include "i2c/I2cTexts.h"
#include "link/AutoBaud.h"

namespace pw {

I2cOperations::I2cOperations(D2XXUnit& unit, std::int32_t baud, I2cType type)
    : unit_(unit), baud_(baud), type_(std::move(type)) {}

std::int32_t I2cOperations::WorkingBaud() const {
  return autoBaud_ ? BaudForClock(std::int64_t{type_.ClockKHz} * 1000, I2C_eeprom::kBitSamples) : baud_;
}

FrameTarget I2cOperations::Target() const {
  if (!autoBaud_) return {kModeI2c, baud_, nullptr, ""};
  const std::int32_t baud = WorkingBaud();
  const std::string part = type_.Name.empty() ? texts::kI2cBusName : type_.Name;
  return {kModeI2c, baud,
          [this, baud, part](OperationRun& run) {
            run.Log(texts::AutoBaudForPart(part, type_.ClockKHz, baud));
            return true;
          },
          ""};
}

Outcome I2cOperations::Run(OperationRun& run, std::span<const OperationStep> steps) {
  return RunFrame(unit_, run, Target(), steps);
}

OperationStep I2cOperations::Read(ImageFile file) {
  return {.CheckInputs = [this] { return I2cSizeProblem(type_, 0, "чтение отменено"); },
          .Act = [this, file](OperationRun& run) { ReadChip(run, file); }};
}

OperationStep I2cOperations::Write(ImageData<std::uint8_t> image) {
  OperationStep step{.CheckInputs = [this, image]() -> Refusal {
                       if (image.Count == 0) return texts::kNothingToWrite;
                       return I2cWriteProblem(type_, image.Count, "запись отменена");
                     },
                     .Act = [this, image](OperationRun& run) { WriteImage(run, image); }};
  return AskIfDamaged(std::move(step), image.Damaged);
}

OperationStep I2cOperations::Verify(ImageData<std::uint8_t> image) {
  return {.CheckInputs = [this, image]() -> Refusal {
            if (image.Count == 0) return texts::kNothingToVerify;
            return I2cSizeProblem(type_, image.Count, "проверка отменена");
          },
          .Act =
              [this, image](OperationRun& run) {
                run.Log("сравнение EEPROM с файлом: " + std::to_string(image.Count) + " байт");
                Compare(run, image, "EEPROM совпадает с файлом", "Ошибка: EEPROM отличается от файла");
              }};
}

OperationStep I2cOperations::Erase() {
  return {.CheckInputs = [this] { return I2cWriteProblem(type_, 0, "стирание отменено"); },
          .Act = [this](OperationRun& run) { EraseChip(run); }};
}

void I2cOperations::ReadChip(OperationRun& run, const ImageFile& file) {
  run.Log("чтение EEPROM");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(type_.EepromSize));
  if (!ReadBytes(run, bytes, "файл не сохранён", texts::kStoppedRead)) return;
  // Records of 16 bytes in address order; a size that is not a multiple of 16 ends in a short record.
  std::string hexText;
  std::int32_t address = 0;
  std::optional<std::uint32_t> lastBlock;
  for (std::int32_t at = 0; at < type_.EepromSize; at += 16) {
    AppendSegmentRecord(hexText, address, lastBlock);
    AppendHexBytes(std::min<std::int32_t>(16, type_.EepromSize - at), bytes, hexText, address, 0, at);
  }
  SaveImageFile(file, hexText, bytes);
  run.Saved(file.Name.string());
  run.Log("чтение Eeprom завершено");
}

void I2cOperations::WriteImage(OperationRun& run, ImageData<std::uint8_t> image) {
  run.Log("прошивание EEPROM:" + std::to_string(image.Count) + "байт");
  // Only the bytes the file holds: the rest of the chip keeps what it had.
  PartialWrite partial(run.Out(), kI2cWrite);
  const auto value = [&image](std::int32_t i) { return image.Values[static_cast<std::size_t>(i)]; };
  const auto wanted = [&image](std::int32_t i) { return image.Holds(static_cast<std::size_t>(i)); };
  if (!WriteAll(run, image.Count, value, wanted, partial)) return;
  run.Log("прошивание EEPROM завершено");
  // A chip whose write-protect input is high acknowledges every byte and keeps none.
  run.Log("проверка записи EEPROM");
  Compare(run, image, "Ошибок нет", "Ошибка: EEPROM отличается от файла");
}

void I2cOperations::EraseChip(OperationRun& run) {
  run.Log("стирание EEPROM");
  PartialWrite partial(run.Out(), kI2cErase);
  const auto erased = [](std::int32_t) { return std::uint8_t{0xFF}; };
  const auto every = [](std::int32_t) { return true; };
  if (!WriteAll(run, type_.EepromSize, erased, every, partial)) return;
  run.Log("стирание EEPROM завершено");
  run.Log("проверка стирания EEPROM");
  const std::vector<std::uint8_t> blank(static_cast<std::size_t>(type_.EepromSize), 0xFF);
  const std::vector<bool> all(blank.size(), true);
  Compare(run, {blank, &all, type_.EepromSize}, "EEPROM чистая", "Ошибка: EEPROM не чистая");
}

bool I2cOperations::Compare(OperationRun& run, ImageData<std::uint8_t> image, const char* same, const char* differ) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(image.Count));
  if (!ReadBytes(run, bytes, "проверка не закончена", "")) return false;
  ImageDifferences differences;
  differences.Compare(image.Values, *image.Filled, 0, bytes);
  return ReportDifferences(run, differences, same, differ, "байт", 2);
}

void I2cOperations::ChipFailed(OperationRun& run, I2cGroupResult result, std::uint32_t address,
                               const char* consequence) {
  const std::string what = result == I2cGroupResult::Refused ? "EEPROM не подтвердила передачу" : "EEPROM не отвечает";
  run.TargetFailed("Ошибка: " + what + " (адрес 0x" + HexDigits(address, address > 0xFFFF ? 5 : 4) + "), " +
                   consequence);
  const auto diagnosis = DiagnoseI2c(result, type_.Addressing().DeviceByte(address, false));
  if (diagnosis) LogDiagnosis(run, *diagnosis);
}

}  // namespace pw
