// The fuse write: the question, the fuse and lock bytes to the chip, and their read-back.

#include <array>

#include "avr/AvrFuseRisks.h"
#include "avr/AvrOperations.h"
#include "avr/AvrTexts.h"
#include "common/HexDigits.h"

namespace pw {
namespace {

/// The bits a read-back compares: of the fuses, every bit the chip has (a bit chips.ini does not
/// name does not exist and reads 1 whatever was written; SPIEN is compared, since a request to
/// change it is one the chip did not carry out); of the lock byte, the lock bits the chip has.
struct ComparedBits {
  std::array<std::uint8_t, 3> Fuses{};
  std::uint8_t Lock = 0;
};

ComparedBits ComparedBitsOf(const AvrChipDescription& chip) {
  return {{chip.FuseBits(0), chip.FuseBits(1), chip.FuseBits(2)}, chip.LockBits};
}

/// One byte of a fuse write: its name, what was asked, what the chip reads, the bits compared.
struct ByteReadBack {
  const char* Name;
  std::uint8_t Asked;
  std::uint8_t Read;
  std::uint8_t Compared;
};

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

void AvrOperations::WriteFuseSetting(OperationRun& run, const AvrFuseSetting& asked) {
  const ComparedBits bits = ComparedBitsOf(chip_->Description);
  // Lock bits the chip lacks go as 1, as a chip erase leaves them.
  AvrFuseSetting setting = asked;
  setting.Lock = static_cast<std::uint8_t>(asked.Lock | ~bits.Lock);
  fusesSent_ = setting;
  run.Log("конфигурация " + FuseText(setting.Fuses));
  run.Log("байт защиты " + Hex2(setting.Lock));
  if (!ChipAnswers(run)) return;
  // A fuse byte without a single bit the chip has is not sent: there is no such byte to write.
  avr_.AvrWriteFuseBytes(setting.Fuses, {bits.Fuses[0] != 0, bits.Fuses[1] != 0, bits.Fuses[2] != 0});
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
  const ComparedBits bits = ComparedBitsOf(chip_->Description);
  const AvrFuseBytes& f = setting.Fuses;
  const ByteReadBack bytes[] = {{texts::kAvrLowFuse, f.Low, read.Low, bits.Fuses[0]},
                                {texts::kAvrHighFuse, f.High, read.High, bits.Fuses[1]},
                                {texts::kAvrExtFuse, f.Ext, read.Ext, bits.Fuses[2]},
                                {texts::kAvrLockByte, setting.Lock, lock, bits.Lock}};
  std::array<bool, 4> differs{};
  for (std::size_t i = 0; i < differs.size(); ++i) {
    const ByteReadBack& b = bytes[i];
    // A fuse byte the chip does not have was not written: nothing to say of it.
    if (b.Compared == 0) continue;
    differs[i] = ((b.Asked ^ b.Read) & b.Compared) != 0;
    const std::string line = texts::AvrFuseReadBackLine(b.Name, Hex2(b.Asked), Hex2(b.Read));
    if (differs[i]) {
      run.TargetFailed("Ошибка: " + line);
    } else {
      run.Log(line);
    }
  }
  const bool fusesDiffer = differs[0] || differs[1] || differs[2];
  if (fusesDiffer) run.TargetFailed("Ошибка: конфигурация не прошита, в чипе " + FuseText(read));
  if (differs[3]) run.TargetFailed("Ошибка: байт защиты не прошит, в чипе " + Hex2(lock));
  return !fusesDiffer && !differs[3];
}

}  // namespace pw
