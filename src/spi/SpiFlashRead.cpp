// Reading the whole chip into a file.

#include <algorithm>
#include <vector>

#include "frame/Texts.h"
#include "spi/SpiFlashOperations.h"

namespace pw {

OperationStep SpiFlashOperations::Read(std::filesystem::path file) {
  OperationStep step;
  step.Act = [this, file](OperationRun& run) {
    run.Log("чтение SPI Flash");
    run.StartProgress(type_->Size);
    std::vector<std::uint8_t> bytes(type_->Size);
    if (!ReadChip(run, bytes)) return;
    SaveSpiFlashImage(file, bytes);
    run.Saved(file.string());
    run.Log("чтение SPI Flash завершено");
  };
  return step;
}

bool SpiFlashOperations::ReadChip(OperationRun& run, std::span<std::uint8_t> bytes) {
  // Read in long pieces so that a stop request is seen between them; each piece streams.
  constexpr std::size_t kPiece = 0x10000;
  const auto total = static_cast<std::int64_t>(bytes.size());
  SpiFlashBus bus = Bus(kBusyDefault);
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    const auto done = static_cast<std::int64_t>(at);
    if (at > 0 && run.StopRequested(texts::Undone(done, total, "байт SPI Flash") + texts::kStoppedRead)) return false;
    const std::size_t n = std::min(kPiece, bytes.size() - at);
    bus.Read(static_cast<std::uint32_t>(at), bytes.subspan(at, n),
             [&run, done](std::size_t read) { run.Progress(done + static_cast<std::int64_t>(read)); });
  }
  return true;
}

}  // namespace pw
