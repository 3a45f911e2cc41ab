#include "avr/AvrFuseSetting.h"

#include <utility>

#include "avr/AvrLockBits.h"

namespace pw {

AvrFusePanelState PanelShowing(const AvrFuseSetting& setting) {
  const std::uint8_t bytes[3] = {setting.Fuses.Low, setting.Fuses.High, setting.Fuses.Ext};
  AvrFusePanelState panel;
  for (int n = 0; n < kFuseBitCount; ++n)
    panel.Ticks[static_cast<std::size_t>(n)] = ((bytes[n / 8] >> (n % 8)) & 1) != 0;
  panel.Lock3 = LockModeItem(LockField(setting.Lock, kLockModeShift));
  panel.Lock2 = BootLockItem(LockField(setting.Lock, kBootLock1Shift));
  panel.Lock1 = BootLockItem(LockField(setting.Lock, kBootLock0Shift));
  return panel;
}

AvrFuseSetting PanelWrites(const AvrFusePanelState& panel, std::uint8_t lock) {
  std::uint8_t bytes[3] = {0, 0, 0};
  for (int n = 0; n < kFuseBitCount; ++n) {
    if (panel.Ticks[static_cast<std::size_t>(n)])
      bytes[n / 8] = static_cast<std::uint8_t>(bytes[n / 8] | (1u << (n % 8)));
  }
  // Without a lock mode chosen the byte keeps its value; the boot-lock fields add to it.
  if (panel.Lock3 >= 0 && panel.Lock3 < static_cast<int>(kAvrLock3Items.size())) {
    lock = static_cast<std::uint8_t>(kLockBitsAlwaysSet | (LockModeField(panel.Lock3) << kLockModeShift));
  }
  const std::pair<int, int> bootLocks[2] = {{panel.Lock2, kBootLock1Shift}, {panel.Lock1, kBootLock0Shift}};
  for (const auto& [item, shift] : bootLocks) {
    if (item < 0 || item >= static_cast<int>(kAvrLock1Items.size())) continue;
    lock = static_cast<std::uint8_t>(lock | (BootLockField(item) << shift));
  }
  return {{bytes[0], bytes[1], bytes[2]}, lock};
}

}  // namespace pw
