// "Прошить фъюзы": the fuse and lock bytes of the panel to the chip, read back to see that the
// chip holds them.

#include <array>

#include "avr/AvrFuseRisks.h"
#include "avr/AvrLockBits.h"
#include "avr/AvrPage.h"
#include "avr/AvrTexts.h"
#include "common/HexDigits.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"

namespace pw {
namespace {

/// Lock bits every AVR has (the lock mode), and the boot-lock bits of chips with a boot section.
constexpr std::uint8_t kLockModeBits = 0x03;
constexpr std::uint8_t kBootLockBits = 0x3C;
/// The fuse bit that only chips with a boot section (and so boot-lock bits) have.
constexpr const char* kBootResetFuse = "BOOTRST";
/// Serial programming cannot change it: the chip keeps it programmed whatever is written.
constexpr const char* kSerialEnableFuse = "SPIEN";

std::string Hex2(std::uint8_t byte) { return HexDigits(byte, 2); }

std::string FuseText(const AvrFuseBytes& f) { return Hex2(f.Low) + Hex2(f.High) + Hex2(f.Ext); }

}  // namespace

void AvrPage::AvrWriteFusesClick() {
  ctx_.ClearLogIfTicked();
  if (!ConfirmFuseWrite()) return;
  TakeBytesFromPanel();
  ctx_.Log.Append("конфигурация " + FuseText({FuseLow, FuseHigh, FuseExt}));
  ctx_.Log.Append("байт защиты " + Hex2(LockByte));
  ProgrammerSession session(ctx_.Unit, kModeAvr, SessionBaud());
  WriteFuses();
  session.Close();
}

std::vector<std::string> AvrPage::RisksOfPanel() {
  if (!ChipKnown) return {};
  const AvrFuseBytes current{FuseLow, FuseHigh, FuseExt};
  const std::uint8_t lock = LockByte;
  TakeBytesFromPanel();
  const AvrFuseBytes written{FuseLow, FuseHigh, FuseExt};
  FuseLow = current.Low;
  FuseHigh = current.High;
  FuseExt = current.Ext;
  LockByte = lock;
  std::array<std::string, kFuseBitCount> names;
  for (int n = 0; n < kFuseBitCount; ++n) {
    const CheckBox& box = FuseBox(n);
    names[static_cast<std::size_t>(n)] = box.Enabled ? box.Caption : kNoFuseName;
  }
  return FuseWriteRisks(names, written, current, InternalClockKHz, SessionBaud());
}

bool AvrPage::ConfirmFuseWrite() {
  const std::vector<std::string> risks = RisksOfPanel();
  if (risks.empty()) return ctx_.Host.AskYesNo("Прошить фьюзы и защиту", "Точно??");
  std::string text;
  for (const std::string& risk : risks) {
    ctx_.Log.Append("Внимание! " + risk);
    text += risk + "\n";
  }
  return ctx_.Host.AskRisky("Опасные фьюзы",
                            text + "После этого программатор может больше не достучаться до чипа. Прошить?");
}

void AvrPage::WriteFuses() {
  // Which bits exist comes from the last identification's chips.ini section.
  if (!ChipKnown) return Refuse(texts::AvrNotIdentified(ctx_.DopInfo.Text));
  if (!ChipAnswers()) return;
  Utils.AvrWriteFuseBytes({FuseLow, FuseHigh, FuseExt});
  Utils.AvrSetPins(AVRUtils::kResetReleased);
  ctx_.Unit.Wait(AVRUtils::kRestartWaitMs);
  if (!ChipAnswers()) return;
  Utils.AvrWriteLockByte(LockByte);
  ctx_.Unit.Wait(AVRUtils::kFuseWaitMs);
  if (!ChipAnswers()) return;
  if (FusesTook()) ctx_.Log.Append("конфигурация и защита прошиты");
}

bool AvrPage::FusesTook() {
  const AvrFuseBytes read = Utils.AvrReadFuseBytes();
  const std::uint8_t lock = Utils.AvrReadLockByte();
  // Bits chips.ini does not name do not exist: the chip reads them as 1 whatever was written.
  // SPIEN reads 0 whatever was written: serial programming cannot change it.
  std::array<std::uint8_t, 3> named{};
  std::uint8_t lockBits = kLockModeBits;
  for (int n = 0; n < kFuseBitCount; ++n) {
    const CheckBox& box = FuseBox(n);
    const bool compared = box.Enabled && box.Caption != kSerialEnableFuse;
    if (compared) named[static_cast<std::size_t>(n / 8)] |= static_cast<std::uint8_t>(1u << (n % 8));
    if (box.Enabled && box.Caption == kBootResetFuse) lockBits |= kBootLockBits;
  }
  const bool fusesDiffer = ((read.Low ^ FuseLow) & named[0]) != 0 || ((read.High ^ FuseHigh) & named[1]) != 0 ||
                           ((read.Ext ^ FuseExt) & named[2]) != 0;
  const bool lockDiffers = ((lock ^ LockByte) & lockBits) != 0;
  if (fusesDiffer) Refuse("Ошибка: конфигурация не прошита, в чипе " + FuseText(read));
  if (lockDiffers) Refuse("Ошибка: байт защиты не прошит, в чипе " + Hex2(lock));
  return !fusesDiffer && !lockDiffers;
}

}  // namespace pw
