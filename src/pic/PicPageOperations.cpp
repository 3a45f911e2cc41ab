// The PIC page's memory operations: each handler takes its inputs from the controls and the
// shared images, runs one step of PicOperations on the frame, and shows what it read.

#include <algorithm>
#include <span>

#include "model/WindowReporter.h"
#include "pic/PicPage.h"

namespace pw {

PicOperations PicPage::Operations() { return PicOperations(ctx_.Unit, ctx_.ProgrammerBaud, type_); }

void PicPage::Run(PicOperations& ops, const OperationStep& step) {
  const OperationStep steps[] = {PicTypeCheck(type_), step};
  RunOnPage(ctx_, PicProgress, [&](OperationRun& run) { RunFrame(ctx_.Unit, run, ops.Target(), steps); });
}

PicConfigArea PicPage::PanelArea() {
  TakePicConfig();
  return PicAreaOf(ctx_.Images.ConfigImage);
}

void PicPage::ShowConfigRead(const PicOperations& ops) {
  if (!ops.ConfigRead()) return;
  std::copy(ops.ConfigRead()->begin(), ops.ConfigRead()->end(), ctx_.Images.ConfigImage.begin());
  ShowPicConfig();
}

void PicPage::TakeDump(const PicOperations& ops) {
  auto& images = ctx_.Images;
  if (ops.DumpRead().Program) fileIsPic18_.reset();
  if (const auto& words = ops.DumpRead().Program) {
    std::copy(words->begin(), words->end(), images.FlashImage.begin());
    images.FlashDataCount = static_cast<std::int32_t>(words->size());
    std::fill_n(images.FlashFilled.begin(), words->size(), true);
    images.FlashDamaged = false;
    ShowFileParams();
  }
  ShowConfigRead(ops);
  if (const auto& bytes = ops.DumpRead().Data) {
    for (std::size_t k = 0; k < bytes->size(); ++k) {
      images.EepromImage[2 * k] = (*bytes)[k];
      images.EepromFilled[2 * k] = true;
      images.EepromFilled[2 * k + 1] = false;
    }
    images.EepromDataCount = static_cast<std::int32_t>(2 * bytes->size());
    images.EepromDamaged = false;
    ShowFileParams();
  }
}

void PicPage::PicReadFuseClick() {
  PicOperations ops = Operations();
  Run(ops, ops.ReadConfig());
  ShowConfigRead(ops);
}

void PicPage::PicWriteFuseClick() {
  PicOperations ops = Operations();
  Run(ops, ops.WriteConfig(PanelArea()));
}

void PicPage::PicReadDumpClick() {
  const auto file = ctx_.Host.ChooseSaveFile("hex|*.hex", "hex");
  if (!file) return;
  PicOperations ops = Operations();
  Run(ops, ops.ReadDump(*file));
  TakeDump(ops);
}

void PicPage::PicWriteDumpClick() {
  PicOperations ops = Operations();
  Run(ops, ops.WriteDump(ctx_.Images.Flash(), ctx_.Images.Eeprom(), PanelArea()));
}

void PicPage::PicVerifyClick() {
  PicOperations ops = Operations();
  Run(ops, ops.Verify(ctx_.Images.Flash(), ctx_.Images.Eeprom(), PanelArea()));
}

void PicPage::PicWriteFlsClick() {
  PicOperations ops = Operations();
  Run(ops, ops.WriteProgramMemory(ctx_.Images.Flash()));
}

void PicPage::PicWriteEepClick() {
  PicOperations ops = Operations();
  Run(ops, ops.WriteDataMemory(ctx_.Images.Eeprom()));
}

void PicPage::PicEraseAllClick() {
  PicOperations ops = Operations();
  Run(ops, ops.Erase(PanelArea()));
}

}  // namespace pw
