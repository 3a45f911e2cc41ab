#pragma once
/// @file
/// How the lock byte shows in the three lock combos of the fuse panel, and back. AvrLock1 shows
/// bits 5..4 (boot lock 0), AvrLock2 bits 3..2 (boot lock 1), AvrLock3 bits 1..0 (the lock mode).

#include <array>
#include <cstdint>

namespace pw {

inline constexpr std::array<const char*, 4> kAvrLock1Items{"BLB0=1", "BLB0=2", "BLB0=3", "BLB0=4"};
inline constexpr std::array<const char*, 4> kAvrLock2Items{"BLB1=1", "BLB1=2", "BLB1=3", "BLB1=4"};
inline constexpr std::array<const char*, 3> kAvrLock3Items{"нет защиты", "запись запрещена",
                                                           "запись и чтение запрещено"};

/// Bit positions of the three two-bit fields.
inline constexpr int kBootLock0Shift = 4;
inline constexpr int kBootLock1Shift = 2;
inline constexpr int kLockModeShift = 0;

/// Bits 7 and 6 of the lock byte as the panel writes them: always 1. They are no lock bits on any
/// part chips.ini lists (the lock mode is bits 1..0, the boot locks bits 5..2): the lock byte
/// reads 0xFF from the factory and after every chip erase, so 1 is the value these bits hold,
/// and a lock byte is written only to program lock bits, never to change anything else. Fuse
/// bytes have no such bits: every fuse bit goes to the chip as the panel or the command gives it.
inline constexpr std::uint8_t kLockBitsAlwaysSet = 0xC0;

/// The two-bit field at shift of lock.
constexpr int LockField(std::uint8_t lock, int shift) { return (lock >> shift) & 0x3; }

/// The chip whose lock bits are bits has the two-bit field at shift (chips.ini's LockBits).
constexpr bool HasLockField(std::uint8_t bits, int shift) { return LockField(bits, shift) == 0x3; }

/// The AvrLock1/AvrLock2 item that shows a boot-lock field: 3 → 0, 2 → 1, 0 → 2, 1 → 3.
constexpr int BootLockItem(int field) {
  constexpr std::array<int, 4> items{2, 3, 1, 0};
  return items[static_cast<std::size_t>(field & 0x3)];
}

/// The AvrLock3 item that shows a lock-mode field: 3 → 0, 2 → 1, 0 and 1 → 2.
constexpr int LockModeItem(int field) {
  constexpr std::array<int, 4> items{2, 2, 1, 0};
  return items[static_cast<std::size_t>(field & 0x3)];
}

/// The field an AvrLock1/AvrLock2 item stands for when written (the inverse of BootLockItem).
constexpr int BootLockField(int item) {
  constexpr std::array<int, 4> fields{3, 2, 0, 1};
  return fields[static_cast<std::size_t>(item & 0x3)];
}

/// The field an AvrLock3 item stands for when written: 0 → 3, 1 → 2, 2 → 0.
constexpr int LockModeField(int item) {
  constexpr std::array<int, 3> fields{3, 2, 0};
  return item >= 0 && item < 3 ? fields[static_cast<std::size_t>(item)] : 3;
}

static_assert(BootLockItem(BootLockField(3)) == 3 && LockModeItem(LockModeField(2)) == 2);

}  // namespace pw
