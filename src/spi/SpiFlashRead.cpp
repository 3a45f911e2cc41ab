// Reading the whole chip into a file.

#include <vector>

#include "frame/Texts.h"
#include "spi/SpiFlashOperations.h"

namespace pw {

OperationStep SpiFlashOperations::Read(ImageFile file) {
  OperationStep step;
  step.Act = [this, file](OperationRun& run) {
    run.Log("чтение SPI Flash");
    run.StartProgress(type_->Size);
    std::vector<std::uint8_t> bytes(type_->Size);
    if (!ReadChip(run, bytes)) return;
    SaveSpiFlashImage(file, bytes);
    run.Saved(file.Name.string());
    run.Log("чтение SPI Flash завершено");
  };
  return step;
}

bool SpiFlashOperations::ReadChip(OperationRun& run, std::span<std::uint8_t> bytes) {
  // One streamed read; a stop request is looked at after every exchange of a few KiB.
  const auto total = static_cast<std::int64_t>(bytes.size());
  SpiFlashBus bus = Bus(kBusyDefault);
  bool read = false;
  InAddressMode(run, bus, [&] {
    read = bus.Read(0, bytes, [&run, total](std::size_t count) {
      const auto done = static_cast<std::int64_t>(count);
      run.Progress(done);
      return done == total || !run.StopRequested(texts::Undone(done, total, "байт SPI Flash") + texts::kStoppedRead);
    });
  });
  return read && run.Result() == Outcome::Success;
}

}  // namespace pw
