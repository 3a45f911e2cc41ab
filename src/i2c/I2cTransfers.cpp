// The three operations that move data between the chip and the images or files.

#include <algorithm>
#include <array>

#include "hexfile/HexWriter.h"
#include "i2c/I2cPage.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"

namespace pw {
namespace {

constexpr int kGroup = I2cGroups::kGroupBytes;

}  // namespace

bool I2cPage::WriteAll(std::int32_t count, const std::function<std::uint8_t(std::int32_t)>& value) {
  I2cGroups groups(ctx_.Unit, Addressing());
  for (std::int32_t start = 0; start < count; start += kGroup) {
    const int n = static_cast<int>(std::min<std::int32_t>(kGroup, count - start));
    std::array<std::uint8_t, kGroup> data{};
    for (int k = 0; k < n; ++k) data[static_cast<std::size_t>(k)] = value(start + k);
    const I2cGroupResult result = groups.Write(static_cast<std::uint32_t>(start), std::span(data.data(), static_cast<std::size_t>(n)));
    if (result != I2cGroupResult::Done) {
      ChipFailed(result, static_cast<std::uint32_t>(start), "запись прервана");
      return false;
    }
    MoveProgress(start + n - 1);
  }
  return true;
}

bool I2cPage::ReadAll(std::string& hexText) {
  I2cGroups groups(ctx_.Unit, Addressing());
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(EepromSize));
  for (std::int32_t start = 0; start < EepromSize; start += kGroup) {
    const auto n = static_cast<std::size_t>(std::min<std::int32_t>(kGroup, EepromSize - start));
    const I2cGroupResult result = groups.Read(static_cast<std::uint32_t>(start), std::span(bytes).subspan(static_cast<std::size_t>(start), n));
    if (result != I2cGroupResult::Done) {
      ChipFailed(result, static_cast<std::uint32_t>(start), "файл не сохранён");
      return false;
    }
    MoveProgress(start + static_cast<int>(n));
  }
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
  const auto file = ctx_.Host.ChooseSaveFile("hex|*.hex", "hex");
  if (!file) return;
  ctx_.Log.Append("файл.EEPROM: " + *file);
  if (const auto problem = SizeProblem(0)) {
    ctx_.Log.Append(*problem);
    ctx_.MarkTargetFailed();
    return;
  }
  ProgrammerSession session(ctx_.Unit, kModeI2c, ctx_.ProgrammerBaud);
  ctx_.Log.Append("чтение EEPROM");
  std::string hexText;
  if (ReadAll(hexText)) {
    SaveHexText(*file, hexText);
    ctx_.Log.Append("чтение Eeprom завершено");
  }
  MoveProgress(0);
  session.Close();
}

void I2cPage::I2cEepromWriteClick() {
  const std::int32_t count = ctx_.Images.EepromDataCount;
  if (const auto problem = SizeProblem(count)) {
    ctx_.Log.Append(*problem);
    ctx_.MarkTargetFailed();
    return;
  }
  ProgrammerSession session(ctx_.Unit, kModeI2c, ctx_.ProgrammerBaud);
  SetProgress(count, 0);
  ctx_.Log.Append("прошивание EEPROM:" + std::to_string(count) + "байт");
  const auto& image = ctx_.Images.EepromImage;
  if (WriteAll(count, [&](std::int32_t i) { return image[static_cast<std::size_t>(i)]; })) {
    ctx_.Log.Append("прошивание EEPROM завершено");
  }
  session.Close();
  MoveProgress(0);
}

void I2cPage::I2cEepromEraseClick() {
  if (const auto problem = SizeProblem(0)) {
    ctx_.Log.Append(*problem);
    ctx_.MarkTargetFailed();
    return;
  }
  ProgrammerSession session(ctx_.Unit, kModeI2c, ctx_.ProgrammerBaud);
  SetProgress(EepromSize, 0);
  ctx_.Log.Append("стирание EEPROM");
  if (WriteAll(EepromSize, [](std::int32_t) { return std::uint8_t{0xFF}; })) ctx_.Log.Append("стирание EEPROM завершено");
  session.Close();
  MoveProgress(0);
}

}  // namespace pw
