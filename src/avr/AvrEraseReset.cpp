// Chip erase and restart.

#include <exception>

#include "avr/AvrOperations.h"

namespace pw {

OperationStep AvrOperations::Erase() {
  // A chip that does not answer is not erased, whatever the log would say.
  Require(AvrNeed::Answer);
  return {.Act = [this](OperationRun& run) {
    avr_.AvrChipErase();
    unit_.Wait(AVRUtils::kEraseWaitMs);
    run.Log("флеш и еепром стёрты");
    // What the chip holds now: its fuses, and its lock bits, which the erase cleared.
    avr_.AvrProgEnable();
    chip_->Fuses = avr_.AvrReadFuseBytes();
    if (chip_->Usable) chip_->Lock = avr_.AvrReadLockByte();
  }};
}

OperationStep AvrOperations::Reset() {
  return {.Act = [this](OperationRun& run) {
    try {
      avr_.AvrSetPins(AVRUtils::kResetAsserted);
    } catch (const std::exception&) {
      // The chip runs once the frame lets the pins go, also after a failure.
      run.Log("чип перезапущен");
      throw;
    }
    run.Log("чип перезапущен");
  }};
}

}  // namespace pw
