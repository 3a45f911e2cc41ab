// Comparing the chip with a file, byte by byte where the file holds data.

#include <vector>

#include "frame/ImageDifferences.h"
#include "frame/Texts.h"
#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashPlan.h"
#include "spi/SpiFlashTexts.h"

namespace pw {

OperationStep SpiFlashOperations::Verify(const SpiFlashImage& image) {
  OperationStep step;
  step.CheckInputs = [&image] { return NoFile(image, texts::kSpiVerifyCancelled); };
  step.CheckTarget = [this, &image] { return FitsChip(image, texts::kSpiVerifyCancelled); };
  step.Act = [this, &image](OperationRun& run) {
    SpiFlashBus bus = Bus(kBusyDefault);
    VerifyImage(run, bus, image);
  };
  return step;
}

bool SpiFlashOperations::VerifyImage(OperationRun& run, SpiFlashBus& bus, const SpiFlashImage& image) {
  run.Log("верификация SPI Flash");
  const std::uint32_t chunk = SpiChunkBytes(*type_);
  const auto chunks = SpiFileChunks(image, chunk);
  const auto total = static_cast<std::int64_t>(chunks.size());
  run.StartProgress(total);
  std::vector<std::uint8_t> chip(chunk);
  ImageDifferences differences;
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    const auto done = static_cast<std::int64_t>(c);
    if (c > 0 && run.StopRequested(texts::Undone(done, total, "блоков проверки SPI Flash"))) return false;
    bus.Read(chunks[c], chip, nullptr);
    differences.Compare(image.Bytes, image.Filled, chunks[c], chip);
    run.Progress(done + 1);
  }
  if (differences.Count() == 0) {
    run.Log("верификация SPI Flash завершена: совпадает");
    return true;
  }
  run.Log("Ошибка: SPI Flash отличается от файла");
  for (const std::string& line : differences.Lines("байт", 2)) run.Log(line);
  run.MarkTargetFailed();
  return false;
}

}  // namespace pw
