// Chips beyond 16 MiB: the bus addresses them as their type says, and a chip put into 4-byte
// mode for an operation leaves it before the operation ends.

#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashTexts.h"

namespace pw {

SpiFlashBus SpiFlashOperations::Bus(std::uint8_t busyMask) {
  SpiFlashBus bus(unit_, baud_, busyMask);
  if (type_) bus.SetFourByte(type_->FourByte);
  return bus;
}

void SpiFlashOperations::InAddressMode(OperationRun& run, SpiFlashBus& bus, const std::function<void()>& work) {
  if (!bus.EnterFourByte(true)) return run.TargetFailed(texts::SpiStillBusy(0, texts::kSpiNoFourByte));
  try {
    work();
  } catch (...) {
    // The error that ended the work is the one to report; the exit is only tried.
    try {
      bus.EnterFourByte(false);
    } catch (...) {
    }
    throw;
  }
  if (!bus.EnterFourByte(false)) run.TargetFailed(texts::SpiStillBusy(0, texts::kSpiNoFourByte));
}

}  // namespace pw
