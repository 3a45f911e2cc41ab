// The fuse panel of the AVR page: 24 boxes, one per fuse bit (ticked = the bit reads 1), and the
// three lock combos.

#include <string>
#include <utility>

#include "avr/AvrLockBits.h"
#include "avr/AvrPage.h"
#include "common/Error.h"

namespace pw {
namespace {

bool Bit(std::uint8_t byte, int n) { return ((byte >> n) & 1) != 0; }

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
  const std::uint8_t bytes[3] = {FuseLow, FuseHigh, FuseExt};
  for (int n = 0; n < kFuseBitCount; ++n) FuseBox(n).Checked = Bit(bytes[n / 8], n % 8);
  AvrLock3.Select(LockModeItem(LockField(LockByte, kLockModeShift)));
  AvrLock2.Select(BootLockItem(LockField(LockByte, kBootLock1Shift)));
  AvrLock1.Select(BootLockItem(LockField(LockByte, kBootLock0Shift)));
  for (ComboBox* combo : {&AvrLock1, &AvrLock2, &AvrLock3}) combo->Enabled = ChipKnown;
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

void AvrPage::TakeBytesFromPanel() {
  // Bits 7 and 6 start as 1 and stay 1 whatever their boxes show.
  std::uint8_t bytes[3] = {kFuseBitsAlwaysSet, kFuseBitsAlwaysSet, kFuseBitsAlwaysSet};
  for (int n = 0; n < kFuseBitCount; ++n) {
    if (FuseBox(n).Checked) bytes[n / 8] = static_cast<std::uint8_t>(bytes[n / 8] | (1u << (n % 8)));
  }
  FuseLow = bytes[0];
  FuseHigh = bytes[1];
  FuseExt = bytes[2];
  // Without a lock mode chosen the byte keeps its last value; the boot-lock fields add to it.
  if (AvrLock3.ItemIndex >= 0 && AvrLock3.ItemIndex < static_cast<int>(kAvrLock3Items.size())) {
    LockByte = static_cast<std::uint8_t>(kLockBitsAlwaysSet | (LockModeField(AvrLock3.ItemIndex) << kLockModeShift));
  }
  const std::pair<const ComboBox*, int> bootLocks[2] = {{&AvrLock2, kBootLock1Shift}, {&AvrLock1, kBootLock0Shift}};
  for (const auto& [combo, shift] : bootLocks) {
    if (combo->ItemIndex < 0 || combo->ItemIndex >= static_cast<int>(kAvrLock1Items.size())) continue;
    LockByte = static_cast<std::uint8_t>(LockByte | (BootLockField(combo->ItemIndex) << shift));
  }
}

}  // namespace pw
