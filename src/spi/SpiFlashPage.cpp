#include "spi/SpiFlashPage.h"

#include "ini/IniFile.h"
#include "model/WindowReporter.h"

namespace pw {

SpiFlashPage::SpiFlashPage(FormContext& context) : PageModel(context) {}

void SpiFlashPage::Startup() {
  // The type is found from the chip; the list lets a person look at the others.
  SpiFlashType.Items = IniFile::Load(ctx_.DescriptionFile(kSpiFlashTypesFile)).SectionNames();
}

std::vector<ControlRef> SpiFlashPage::Controls() {
  return {&SpiFlash,      &SpiFlashType,         &SpiFlashFile, &SpiFlashRead, &SpiFlashWrite,
          &SpiFlashErase, &SpiFlashVerifyButton, &SpiFlashLab1, &SpiFlashLab2, &SpiProgress};
}

void SpiFlashPage::ViewSpi() {
  const IniFile types = IniFile::Load(ctx_.DescriptionFile(kSpiFlashTypesFile));
  const auto result =
      types.HasSection(SpiFlashType.Text) ? ReadSpiFlashType(types, SpiFlashType.Text) : FlashTypeResult{};
  std::string text;
  if (result.Type) {
    text = "Объём: " + std::to_string(result.Type->Size) + " байт, ID " + JedecText(result.Type->Id);
    if (!result.Type->Writable) text += ", только чтение";
  }
  if (image_.End != 0)
    text += (text.empty() ? "" : "; ") + std::string("в файле ") + std::to_string(image_.End) + " байт";
  SpiFlashLab2.Caption = text.empty() ? SpiFlashLab2.Caption : text;
  SpiFlashWrite.Enabled = image_.End != 0;
}

void SpiFlashPage::SpiFlashFileClick() {
  const auto file = ctx_.Host.ChooseOpenFile("hex, bin|*.hex;*.bin|hex|*.hex|bin|*.bin");
  if (!file) return;
  ctx_.Log.Append(texts::SpiFileLoaded(*file));
  std::string notice;
  // All or nothing: a file that cannot be used leaves the loaded one and its label in place.
  SpiFlashImage loaded = LoadSpiFlashImage(*file, notice);
  image_ = std::move(loaded);
  SpiFlashLab1.Caption = *file;
  if (!notice.empty()) ctx_.Log.Append(notice);
  ViewSpi();
}

void SpiFlashPage::SpiFlashReadClick() {
  const auto file = ctx_.Host.ChooseSaveFile("hex|*.hex|bin|*.bin", "hex");
  if (!file) return;
  ctx_.Log.Append(texts::SpiReadInto(*file));
  Run([&](SpiFlashOperations& operations) { return operations.Read(*file); });
}

void SpiFlashPage::SpiFlashWriteClick() {
  Run([&](SpiFlashOperations& operations) { return operations.Write(image_, texts::kSpiWrite); });
}

void SpiFlashPage::SpiFlashEraseClick() {
  Run([&](SpiFlashOperations& operations) { return operations.Erase(texts::kSpiErase); });
}

void SpiFlashPage::SpiFlashIdentify() {
  Run([](SpiFlashOperations& operations) { return operations.Identify(); });
}

void SpiFlashPage::SpiFlashVerify() {
  Run([&](SpiFlashOperations& operations) { return operations.Verify(image_); });
}

void SpiFlashPage::Run(const std::function<OperationStep(SpiFlashOperations&)>& step) {
  SpiFlashOperations operations(ctx_.Unit, ctx_.ProgrammerBaud, ctx_.DescriptionFile(kSpiFlashTypesFile),
                                SpiFlashType.Text);
  operations.SetAutoBaud(ctx_.AutoBaud);
  const OperationStep steps[] = {step(operations)};
  RunOnPage(ctx_, SpiProgress, [&](OperationRun& run) { RunFrame(ctx_.Unit, run, operations.Target(), steps); });
  ShowType(operations);
}

void SpiFlashPage::ShowType(const SpiFlashOperations& operations) {
  const std::string& section = operations.Section();
  if (section.empty()) return;
  for (std::size_t i = 0; i < SpiFlashType.Items.size(); ++i) {
    if (SpiFlashType.Items[i] == section) SpiFlashType.Select(static_cast<int>(i));
  }
  SpiFlashType.Text = section;
  if (operations.Type()) ViewSpi();
}

}  // namespace pw
