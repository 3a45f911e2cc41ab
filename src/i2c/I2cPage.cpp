#include "i2c/I2cPage.h"

#include <exception>

#include "common/HexDigits.h"
#include "frame/ImageFiles.h"
#include "frame/Texts.h"
#include "ini/IniFile.h"

namespace pw {
namespace {

/// Larger than any page: a value above it is refused without being narrowed.
constexpr std::int64_t kMostPageSize = 65536;

}  // namespace

I2cPage::I2cPage(FormContext& context) : ctx_(context) {
  I2cEepom.OnShow = [this] { ViewI2C(); };
  I2eEepromType.OnChange = [this] { ViewI2C(); };
  I2cEepromFile.OnClick = [this] { I2cEepromFileClick(); };
  I2cEepromRead.OnClick = [this] { I2cEepromReadClick(); };
  I2cEepromWrite.OnClick = [this] { I2cEepromWriteClick(); };
  I2cEepromErase.OnClick = [this] { I2cEepromEraseClick(); };
}

void I2cPage::Startup() {
  I2eEepromType.Items = IniFile::Load(ctx_.DescriptionFile(kTypesFile)).SectionNames();
  I2eEepromType.Select(0);
  I2cEepromLab1.Caption.clear();
  I2cEepromLab2.Caption.clear();
}

std::vector<ControlRef> I2cPage::Controls() {
  return {&I2cEepom,       &I2eEepromType, &I2cEepromFile, &I2cEepromRead,    &I2cEepromWrite,
          &I2cEepromErase, &I2cEepromLab1, &I2cEepromLab2, &I2cEepromProgress};
}

void I2cPage::ViewI2C() {
  const IniFile types = IniFile::Load(ctx_.DescriptionFile(kTypesFile));
  const std::string& section = I2eEepromType.Text;
  EepromSize = static_cast<std::int32_t>(types.ReadInteger(section, "Size", 0));
  I2cProtocol = static_cast<std::uint8_t>(types.ReadInteger(section, "Protocol", 2) & 0xFF);
  // A key that is there but no number reads as 0, which the write refuses.
  pageSizeText_ = types.ReadString(section, "PageSize", std::to_string(I2cGroups::kGroupBytes));
  const std::int64_t pageSize = types.ReadInteger(section, "PageSize", I2cGroups::kGroupBytes);
  I2cPageSize = pageSize > 0 && pageSize <= kMostPageSize ? static_cast<std::int32_t>(pageSize) : 0;
  const std::int32_t count = ctx_.Images.EepromDataCount;
  I2cEepromLab2.Caption = "Размер Еепром: " + std::to_string(EepromSize) + " байт\r\n";
  if (count != 0) I2cEepromLab2.Caption += "Данных в файле " + std::to_string(count) + " байт\r\n";
  I2cEepromWrite.Enabled = count != 0;
}

void I2cPage::I2cEepromFileClick() {
  const auto file = ctx_.Host.ChooseOpenFile(kImageFilter);
  if (!file) return;
  const std::string previousPath = I2cEepromLab1.Caption;
  I2cEepromLab1.Caption = *file;
  ctx_.Log.Append("файл: " + *file);
  std::string notice;
  try {
    notice = LoadEepromFile(*file, ctx_.Images);
  } catch (const std::exception&) {
    // The image still holds the previous file: the label and the write button must say so.
    I2cEepromLab1.Caption = previousPath;
    ViewI2C();
    throw;
  }
  if (!notice.empty()) ctx_.Log.Append(notice);
  if (OnFileLoaded) OnFileLoaded();
  ViewI2C();
}

void I2cPage::SetProgress(int max, int position) {
  I2cEepromProgress.Min = 0;
  I2cEepromProgress.Max = max;
  MoveProgress(position);
}

void I2cPage::MoveProgress(int position) {
  I2cEepromProgress.Position = position;
  ctx_.Host.RepaintProgress(I2cEepromProgress);
  // The window handles its events here, so that its stop button reaches a running operation.
  ctx_.Host.ProcessEvents();
}

std::optional<std::string> I2cPage::SizeProblem(std::int32_t bytes, const char* cancelled) const {
  if (EepromSize <= 0) {
    return "Ошибка: у типа [" + I2eEepromType.Text + "] в файле " + kTypesFile +
           " размер (Size) не задан числом больше нуля; " + cancelled;
  }
  const std::uint32_t reach = Addressing().Reach();
  if (EepromSize > 0 && static_cast<std::uint32_t>(EepromSize) > reach) {
    return "Ошибка: объём типа [" + I2eEepromType.Text + "] " + std::to_string(EepromSize) +
           " байт больше, чем позволяет его адресация (" + std::to_string(reach) + " байт); " + cancelled;
  }
  if (bytes > EepromSize) {
    return "Ошибка: данных в файле " + std::to_string(bytes) + " байт, а объём EEPROM " + std::to_string(EepromSize) +
           " байт; " + cancelled;
  }
  return std::nullopt;
}

std::optional<std::string> I2cPage::WriteProblem(std::int32_t bytes, const char* cancelled) const {
  if (auto problem = SizeProblem(bytes, cancelled)) return problem;
  const bool powerOfTwo = I2cPageSize > 0 && (I2cPageSize & (I2cPageSize - 1)) == 0;
  if (powerOfTwo && I2cPageSize <= EepromSize) return std::nullopt;
  return "Ошибка: у типа [" + I2eEepromType.Text + "] в файле " + kTypesFile +
         " размер страницы (PageSize=" + pageSizeText_ + ") не степень двойки от 1 до " + std::to_string(EepromSize) +
         "; " + cancelled;
}

void I2cPage::ChipFailed(I2cGroupResult result, std::uint32_t address, const char* consequence) {
  const std::string what = result == I2cGroupResult::NoAnswer ? "EEPROM не отвечает" : "EEPROM не подтвердила передачу";
  ctx_.Log.Append("Ошибка: " + what + " (адрес 0x" + HexDigits(address, 4) + "), " + consequence);
  ctx_.MarkTargetFailed();
}

}  // namespace pw
