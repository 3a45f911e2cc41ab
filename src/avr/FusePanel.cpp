// The fuse panel of the AVR page: 24 boxes, one per fuse bit (ticked = the bit reads 1), and the
// three lock combos.

#include <string>

#include "avr/AvrLockBits.h"
#include "avr/AvrPage.h"
#include "common/Error.h"

namespace pw {
namespace {

template <std::size_t N>
void Fill(ComboBox& combo, const std::array<const char*, N>& items) {
  combo.ClearItems();
  for (const char* item : items) combo.Items.emplace_back(item);
  combo.Select(0);
  combo.Enabled = false;
}

}  // namespace

CheckBox& AvrPage::FuseBox(int n) {
  const std::string name = "AvrFuse" + std::to_string(n + 1);
  for (CheckBox& box : AvrFuse) {
    if (box.Name == name) return box;
  }
  throw PinwrightError("Ошибка! Нет флажка " + name);
}

void AvrPage::ClearFusePanel() {
  FuseLow = FuseHigh = FuseExt = LockByte = 0xFF;
  for (int n = 0; n < kFuseBitCount; ++n) {
    CheckBox& box = FuseBox(n);
    box.Enabled = false;
    box.Caption.clear();
  }
  for (ComboBox* combo : {&AvrLock1, &AvrLock2, &AvrLock3}) combo->Enabled = false;
}

void AvrPage::ShowFusePanel() {
  for (Button* button : {&AvrChipRst, &AvrReadFls, &AvrReadEep, &AvrReadFuses, &AvrWriteFuses})
    button->Enabled = ChipKnown;
  AvrWriteFls.Enabled = ChipKnown && !AvrPathFls.Caption.empty();
  AvrWriteEep.Enabled = ChipKnown && !AvrPathEep.Caption.empty();
  const AvrFusePanelState panel = PanelShowing({{FuseLow, FuseHigh, FuseExt}, LockByte});
  for (int n = 0; n < kFuseBitCount; ++n) FuseBox(n).Checked = panel.Ticks[static_cast<std::size_t>(n)];
  AvrLock3.Select(panel.Lock3);
  AvrLock2.Select(panel.Lock2);
  AvrLock1.Select(panel.Lock1);
  AvrLock1.Enabled = ChipKnown && HasLockField(LockBits, kBootLock0Shift);
  AvrLock2.Enabled = ChipKnown && HasLockField(LockBits, kBootLock1Shift);
  AvrLock3.Enabled = ChipKnown;
}

void AvrPage::ShowFuseNames(const AvrChipDescription& chip) {
  for (int n = 0; n < kFuseBitCount; ++n) {
    CheckBox& box = FuseBox(n);
    const std::string& name = chip.FusesNames[static_cast<std::size_t>(n)];
    const bool exists = name != kNoFuseName;
    box.Caption = exists ? name : "";
    box.Enabled = exists;
  }
}

void AvrPage::FillLockCombos() {
  Fill(AvrLock1, kAvrLock1Items);
  Fill(AvrLock2, kAvrLock2Items);
  Fill(AvrLock3, kAvrLock3Items);
}

AvrFusePanelState AvrPage::PanelState() {
  AvrFusePanelState panel;
  for (int n = 0; n < kFuseBitCount; ++n) panel.Ticks[static_cast<std::size_t>(n)] = FuseBox(n).Checked;
  panel.Lock1 = AvrLock1.ItemIndex;
  panel.Lock2 = AvrLock2.ItemIndex;
  panel.Lock3 = AvrLock3.ItemIndex;
  return panel;
}

void AvrPage::TakeBytesFromPanel() {
  const AvrFuseSetting setting = PanelWrites(PanelState(), LockByte);
  FuseLow = setting.Fuses.Low;
  FuseHigh = setting.Fuses.High;
  FuseExt = setting.Fuses.Ext;
  LockByte = setting.Lock;
}

}  // namespace pw
