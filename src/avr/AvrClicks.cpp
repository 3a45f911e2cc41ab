// The AVR page's buttons: each maps the page to an operation's inputs, runs it, and shows what
// it found.

#include "avr/AvrPage.h"
#include "frame/ImageFiles.h"

namespace pw {

void AvrPage::AvrRdSignClick() {
  ctx_.ClearLogIfTicked();
  RunOne(true, &AvrOperations::Identify, [this](const AvrOperations& ops) {
    ShowChip(ops, true);
    // Erase, restart and the files are offered after any identification that reached the chip.
    if (!ops.Chip()) return;
    for (Button* button : {&AvrChipRst, &AvrErase, &AvrLoadFls, &AvrLoadEep}) button->Enabled = true;
  });
}

void AvrPage::AvrReadFusesClick() {
  ctx_.ClearLogIfTicked();
  RunOne(false, &AvrOperations::Identify);
}

void AvrPage::AvrReadFlsClick() {
  ctx_.ClearLogIfTicked();
  AvrReadFls.Enabled = false;
  const auto file = ctx_.Host.ChooseSaveFile(kImageFilter, texts::kHexExtension);
  if (file) {
    ctx_.Log.Append(texts::AvrFlashSaveLine(*file));
    RunOne(false, [&](AvrOperations& ops) { return ops.ReadFlash(*file); });
  }
  // Whatever ended the read, the button must be usable for the next one.
  AvrReadFls.Enabled = true;
}

void AvrPage::AvrWriteFlsClick() {
  ctx_.ClearLogIfTicked();
  RunOne(false, [this](AvrOperations& ops) { return ops.WriteFlash(ctx_.Images.Flash()); });
}

void AvrPage::AvrReadEepClick() {
  ctx_.ClearLogIfTicked();
  const auto file = ctx_.Host.ChooseSaveFile(kImageFilter, texts::kHexExtension);
  if (!file) return;
  ctx_.Log.Append(texts::AvrEepromSaveLine(*file));
  RunOne(false, [&](AvrOperations& ops) { return ops.ReadEeprom(*file); });
}

void AvrPage::AvrWriteEepClick() {
  ctx_.ClearLogIfTicked();
  RunOne(false, [this](AvrOperations& ops) { return ops.WriteEeprom(ctx_.Images.Eeprom()); });
}

void AvrPage::AvrVerifyFlsClick() {
  ctx_.ClearLogIfTicked();
  RunOne(false, [this](AvrOperations& ops) { return ops.VerifyFlash(ctx_.Images.Flash()); });
}

void AvrPage::AvrVerifyEepClick() {
  ctx_.ClearLogIfTicked();
  RunOne(false, [this](AvrOperations& ops) { return ops.VerifyEeprom(ctx_.Images.Eeprom()); });
}

void AvrPage::AvrBlankCheckClick() {
  ctx_.ClearLogIfTicked();
  RunOne(false, &AvrOperations::BlankCheck);
}

void AvrPage::AvrWriteFusesClick() {
  ctx_.ClearLogIfTicked();
  // The person's ticks, taken before the identification reads the chip's own bytes.
  const AvrFuseSetting setting = PanelWrites(PanelState(), LockByte);
  const auto write = [setting](AvrOperations& ops) {
    return ops.WriteFuses([setting](const AvrChip&) { return setting; });
  };
  RunOne(false, write, [this](const AvrOperations& ops) {
    // The panel keeps the person's choice unless the chip can no longer be served; the bytes
    // hold what was written.
    if (ops.Chip() && !ops.Chip()->Usable) ShowChip(ops, false);
    if (!ops.FusesSent()) return;
    FuseLow = ops.FusesSent()->Fuses.Low;
    FuseHigh = ops.FusesSent()->Fuses.High;
    FuseExt = ops.FusesSent()->Fuses.Ext;
    LockByte = ops.FusesSent()->Lock;
  });
}

void AvrPage::AvrEraseClick() {
  ctx_.ClearLogIfTicked();
  RunOne(false, &AvrOperations::Erase);
}

void AvrPage::AvrChipRstClick() {
  ctx_.ClearLogIfTicked();
  RunOne(false, &AvrOperations::Reset);
}

}  // namespace pw
