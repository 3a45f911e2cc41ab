// The fuse write: the question, the fuse and lock bytes to the chip, and their read-back.

#include <array>

#include "avr/AvrFuseRisks.h"
#include "avr/AvrOperations.h"
#include "avr/AvrTexts.h"
#include "common/HexDigits.h"

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

OperationStep AvrOperations::WriteFuses(std::function<AvrFuseSetting(const AvrChip&)> setting) {
  Require(AvrNeed::ServedChip);
  return {
      .Confirm =
          [this, setting](OperationRun& run) {
            fuseSetting_ = setting(*chip_);
            return ConfirmFuseWrite(run, *fuseSetting_);
          },
      .Act = [this](OperationRun& run) { WriteFuseSetting(run, *fuseSetting_); },
  };
}

bool AvrOperations::ConfirmFuseWrite(OperationRun& run, const AvrFuseSetting& setting) {
  // The chip answered with the fuses it has now, at the clock the programmer works at now.
  const std::vector<std::string> risks = FuseWriteRisks(chip_->Description.FusesNames, setting.Fuses, chip_->Fuses,
                                                        chip_->Description.InternalClockKHz, unit_.LinkBaud);
  if (risks.empty()) return run.Ask("Прошить фьюзы и защиту", "Точно??");
  std::string text;
  for (const std::string& risk : risks) {
    run.Log("Внимание! " + risk);
    text += risk + "\n";
  }
  return run.AskRisky("Опасные фьюзы", text + "После этого программатор может больше не достучаться до чипа. Прошить?");
}

void AvrOperations::WriteFuseSetting(OperationRun& run, const AvrFuseSetting& setting) {
  fusesSent_ = setting;
  run.Log("конфигурация " + FuseText(setting.Fuses));
  run.Log("байт защиты " + Hex2(setting.Lock));
  if (!ChipAnswers(run)) return;
  avr_.AvrWriteFuseBytes(setting.Fuses);
  avr_.AvrSetPins(AVRUtils::kResetReleased);
  unit_.Wait(AVRUtils::kRestartWaitMs);
  if (!ChipAnswers(run)) return;
  avr_.AvrWriteLockByte(setting.Lock);
  unit_.Wait(AVRUtils::kFuseWaitMs);
  if (!ChipAnswers(run)) return;
  if (FusesTook(run, setting)) run.Log("конфигурация и защита прошиты");
}

bool AvrOperations::FusesTook(OperationRun& run, const AvrFuseSetting& setting) {
  const AvrFuseBytes read = avr_.AvrReadFuseBytes();
  const std::uint8_t lock = avr_.AvrReadLockByte();
  // Bits chips.ini does not name do not exist: the chip reads them as 1 whatever was written.
  // SPIEN reads 0 whatever was written: serial programming cannot change it.
  std::array<std::uint8_t, 3> named{};
  std::uint8_t lockBits = kLockModeBits;
  for (int n = 0; n < kFuseBitCount; ++n) {
    const std::string& name = chip_->Description.FusesNames[static_cast<std::size_t>(n)];
    const bool exists = name != kNoFuseName;
    if (exists && name != kSerialEnableFuse)
      named[static_cast<std::size_t>(n / 8)] |= static_cast<std::uint8_t>(1u << (n % 8));
    if (name == kBootResetFuse) lockBits |= kBootLockBits;
  }
  const AvrFuseBytes& f = setting.Fuses;
  const bool fusesDiffer = ((read.Low ^ f.Low) & named[0]) != 0 || ((read.High ^ f.High) & named[1]) != 0 ||
                           ((read.Ext ^ f.Ext) & named[2]) != 0;
  const bool lockDiffers = ((lock ^ setting.Lock) & lockBits) != 0;
  if (fusesDiffer) run.TargetFailed("Ошибка: конфигурация не прошита, в чипе " + FuseText(read));
  if (lockDiffers) run.TargetFailed("Ошибка: байт защиты не прошит, в чипе " + Hex2(lock));
  return !fusesDiffer && !lockDiffers;
}

}  // namespace pw
