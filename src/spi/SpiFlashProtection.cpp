// The status register's protection bits: reported, and cleared only after a Yes.

#include <array>

#include "common/HexDigits.h"
#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashTexts.h"

namespace pw {
namespace {

constexpr std::uint8_t kEnableWriteStatus = 0x50;

}  // namespace

bool SpiFlashOperations::ConfirmUnprotect(OperationRun& run, const std::string& cancelled) {
  // One question a run: a second step that changes the chip finds the answer given.
  if (unprotectAgreed_) return true;
  const std::uint8_t bits = Bus(type_->StatusBusy).ReadStatus() & type_->StatusProtect;
  if (bits == 0) return true;
  run.Log("Микросхема защищена от записи: биты защиты 0x" + HexDigits(bits, 2) + " в регистре состояния");
  if (!run.Ask(texts::kSpiFlash, "Микросхема защищена от записи. Снять защиту?")) {
    run.Log("Защита не снята; " + cancelled);
    return false;
  }
  unprotectAgreed_ = true;
  return true;
}

bool SpiFlashOperations::Unprotect(OperationRun& run, SpiFlashBus& bus, const std::string& cancelled) {
  const std::uint8_t status = bus.ReadStatus();
  if ((status & type_->StatusProtect) == 0) return true;
  const std::uint8_t cleared = status & static_cast<std::uint8_t>(~(type_->StatusProtect | type_->StatusBusy | 0x02));
  // A status write takes up to 15 ms on the listed chips; 100 ms leaves room for any of them.
  // Auto-address-increment chips take a status write after Enable Write Status.
  const std::uint8_t enable = type_->Aai ? kEnableWriteStatus : SpiFlashBus::kWriteEnable;
  const bool done = bus.Write(std::array<std::uint8_t, 2>{0x01, cleared}, {15'000, 100'000}, enable);
  if (done && (bus.ReadStatus() & type_->StatusProtect) == 0) {
    run.Log("Защита снята");
    return true;
  }
  run.TargetFailed("Ошибка: защита не снимается (вывод /WP или бит защиты регистра состояния); " + cancelled);
  return false;
}

}  // namespace pw
