#include "i2c/I2cPage.h"

#include <exception>

#include "frame/ImageFiles.h"
#include "ini/IniFile.h"
#include "model/WindowReporter.h"

namespace pw {

I2cPage::I2cPage(FormContext& context) : PageModel(context) {}

void I2cPage::Startup() {
  I2eEepromType.Items = IniFile::Load(ctx_.DescriptionFile(kTypesFile)).SectionNames();
  I2eEepromType.Select(0);
  I2cEepromLab1.Caption.clear();
  I2cEepromLab2.Caption.clear();
}

std::vector<ControlRef> I2cPage::Controls() {
  return {&I2cEepom,       &I2eEepromType,   &I2cEepromFile, &I2cEepromRead, &I2cEepromWrite,
          &I2cEepromErase, &I2cEepromVerify, &I2cEepromLab1, &I2cEepromLab2, &I2cEepromProgress};
}

void I2cPage::ViewI2C() {
  type_ = ReadI2cType(IniFile::Load(ctx_.DescriptionFile(kTypesFile)), I2eEepromType.Text);
  EepromSize = type_.EepromSize;
  I2cProtocol = type_.I2cProtocol;
  I2cPageSize = type_.PageSize;
  const std::int32_t count = ctx_.Images.EepromDataCount;
  I2cEepromLab2.Caption = "Размер Еепром: " + std::to_string(EepromSize) + " байт\r\n";
  // The image is shared with the other pages: until a file is chosen here, its data is not this page's.
  if (I2cEepromLab1.Caption.empty()) {
    I2cEepromLab2.Caption += texts::kI2cNoFile;
  } else if (count != 0) {
    I2cEepromLab2.Caption += "Данных в файле " + std::to_string(count) + " байт\r\n";
  }
  I2cEepromWrite.Enabled = count != 0;
}

void I2cPage::ShowI2cType() {
  ViewI2C();
  if (!type_.Problem.empty()) ctx_.Log.Append(type_.Problem);
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

void I2cPage::RunStep(const std::function<OperationStep(I2cOperations&)>& step) {
  RunOnPage(ctx_, I2cEepromProgress, [&](OperationRun& run) {
    I2cOperations operations(ctx_.Unit, ctx_.ProgrammerBaud, type_);
    operations.SetAutoBaud(ctx_.AutoBaud);
    const OperationStep steps[] = {step(operations)};
    operations.Run(run, steps);
  });
}

void I2cPage::I2cEepromReadClick() {
  const auto file = ctx_.Host.ChooseSaveFile(kImageFilter, "hex");
  if (!file) return;
  ctx_.Log.Append(I2cReadFileLine(*file));
  RunStep([&](I2cOperations& o) { return o.Read(*file); });
}

void I2cPage::I2cEepromWriteClick() {
  RunStep([this](I2cOperations& o) { return o.Write(ctx_.Images.Eeprom()); });
}

void I2cPage::I2cEepromVerifyClick() {
  RunStep([this](I2cOperations& o) { return o.Verify(ctx_.Images.Eeprom()); });
}

void I2cPage::I2cEepromEraseClick() {
  RunStep([](I2cOperations& o) { return o.Erase(); });
}

}  // namespace pw
