// Comparing the chip with a file, byte by byte where the file holds data.

#include <algorithm>
#include <vector>

#include "frame/ImageDifferences.h"
#include "frame/Texts.h"
#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashPlan.h"
#include "spi/SpiFlashTexts.h"

namespace pw {
namespace {

/// The part of the chunk at base a verify reads: after a write, what it changed there; else the
/// file's bytes.
SpiSpan VerifySpan(const SpiFlashImage& image, const SpiWritten* written, std::uint32_t base, std::uint32_t chunk) {
  if (written == nullptr) return SpiFilledSpan(image, base, chunk, 1);
  const auto changed = written->Changed.find(base);
  return changed == written->Changed.end() ? SpiSpan{} : changed->second;
}

}  // namespace

OperationStep SpiFlashOperations::Verify(const SpiFlashImage& image) {
  OperationStep step;
  step.CheckInputs = [&image] { return NoFile(image, texts::kSpiVerifyCancelled); };
  step.CheckTarget = [this, &image] { return FitsChip(image, texts::kSpiVerifyCancelled); };
  step.Act = [this, &image](OperationRun& run) {
    SpiFlashBus bus = Bus(kBusyDefault);
    InAddressMode(run, bus, [&] { VerifyImage(run, bus, image); });
  };
  return step;
}

bool SpiFlashOperations::VerifyImage(OperationRun& run, SpiFlashBus& bus, const SpiFlashImage& image,
                                     const SpiWritten* written) {
  run.Log("верификация SPI Flash");
  const std::uint32_t chunk = SpiChunkBytes(*type_);
  const auto chunks = SpiFileChunks(image, chunk);
  const auto total = static_cast<std::int64_t>(chunks.size());
  run.StartProgress(total);
  std::vector<std::uint8_t> chip(chunk);
  ImageDifferences differences;
  std::vector<SpiByteRange> lost;
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    const auto done = static_cast<std::int64_t>(c);
    const auto goOn = [&run, done, total](std::size_t) {
      return !run.StopRequested(texts::Undone(done, total, "блоков проверки SPI Flash"));
    };
    if (c > 0 && !goOn(0)) return false;
    const SpiSpan span = VerifySpan(image, written, chunks[c], chunk);
    const auto read = std::span(chip).subspan(span.First, span.End - span.First);
    if (!bus.Read(chunks[c] + span.First, read, goOn)) return false;
    differences.Compare(image.Bytes, image.Filled, chunks[c] + span.First, read);
    if (written != nullptr) FindLostBytes(written->Kept, chunks[c] + span.First, read, lost);
    run.Progress(done + 1);
  }
  return Matches(run, differences, lost);
}

bool SpiFlashOperations::Matches(OperationRun& run, const ImageDifferences& differences,
                                 const std::vector<SpiByteRange>& lost) const {
  if (differences.Count() == 0 && lost.empty()) {
    run.Log("верификация SPI Flash завершена: совпадает");
    return true;
  }
  if (differences.Count() > 0) {
    run.LogFault("Ошибка: SPI Flash отличается от файла");
    LogDifferences(run, differences, "байт", 2);
  }
  if (!lost.empty()) run.LogFault(texts::SpiLostBytes(lost, type_->Name));
  run.MarkTargetFailed();
  return false;
}

}  // namespace pw
