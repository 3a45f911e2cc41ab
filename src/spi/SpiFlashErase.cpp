// Erasing the whole chip, after a question.

#include <algorithm>
#include <array>

#include "frame/PartialWrite.h"
#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashTexts.h"

namespace pw {

OperationStep SpiFlashOperations::Erase(const Action& operation) {
  OperationStep step;
  step.Confirm = [this](OperationRun& run) {
    return run.Ask(texts::kSpiFlash, "Стереть всю микросхему " + type_->Name + "?") &&
           ConfirmUnprotect(run, texts::kSpiEraseCancelled);
  };
  step.Act = [this, operation](OperationRun& run) { ActErase(run, operation); };
  return step;
}

void SpiFlashOperations::ActErase(OperationRun& run, const Action& operation) {
  SpiFlashBus bus = Bus(type_->StatusBusy);
  if (!Unprotect(run, bus, texts::kSpiEraseCancelled)) return;
  run.Log("стирание SPI Flash");
  PartialWrite partial(run.Out(), operation);
  partial.Begun();
  if (!bus.Write(std::array<std::uint8_t, 1>{type_->ChipErase}, WaitMs(type_->ChipEraseMs))) {
    return run.TargetFailed(texts::SpiStillBusy(0, "стирание прервано"));
  }
  // A chip that ignored the command is not busy either: its first page tells.
  std::array<std::uint8_t, 256> first{};
  bus.Read(0, first, {});
  if (std::any_of(first.begin(), first.end(), [](std::uint8_t b) { return b != 0xFF; })) {
    return run.TargetFailed("Ошибка: после стирания микросхема не чиста (адрес 0x000000)");
  }
  partial.Finished();
  run.Log("стирание SPI Flash завершено");
}

}  // namespace pw
