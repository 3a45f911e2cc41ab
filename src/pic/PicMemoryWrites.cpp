// "Прошить" in "Programm Memory" and in "Data Memory": the images to the chip in blocks, each
// verified. Data-memory locations the file leaves out keep what the chip has: the counter steps
// over them.

#include <algorithm>

#include "frame/DamagedFile.h"
#include "frame/PartialWrite.h"
#include "frame/Texts.h"
#include "pic/PicOperations.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// The end of an area's write: after a mismatch the failure line and a target failure, else the
/// line saying the area is written and verified. Whether it was.
bool Ended(OperationRun& run, std::int32_t result, const char* written) {
  if (result != NoError) {
    run.TargetFailed(texts::kPicWriteFailed);
    return false;
  }
  run.Log(written);
  return true;
}

/// Writes and verifies words start .. start + count - 1 of image with the type's method; an
/// unknown method writes nothing and leaves result as it was.
void ProgramBlock(PICUtils& utils, PicProgramming programming, std::uint16_t start, std::uint16_t count,
                  std::span<const std::uint16_t> image, std::int32_t wait, std::int32_t& result) {
  switch (programming) {
    case PicProgramming::EraseProgram:
      return utils.PicProgramWords1(start, count, image, wait, result);
    case PicProgramming::Baseline:
      return utils.PicProgramWords2(start, count, image, wait, result);
    case PicProgramming::ProgramOnly:
      return utils.PicProgramWords3(start, count, image, wait, result);
    case PicProgramming::Unknown:
    case PicProgramming::Pic18:  // written by Pic18Operations
      return;
  }
}

}  // namespace

OperationStep PicOperations::WriteProgramMemory(ImageData<std::uint16_t> image) {
  OperationStep step = Step([this, image] { return CheckImages(image.Count, std::nullopt); },
                            [this, image](OperationRun& run) {
                              const std::int32_t n = std::min(image.Count, type_.FlashSize);
                              run.StartProgress(n);
                              run.Log("запись флеш " + std::to_string(n) + "слов");
                              PartialWrite partial(run.Out(), texts::kPicWriteFlashCaption);
                              partial.Begun();
                              if (WriteProgramWords(run, image, n)) partial.Finished();
                            });
  return AskIfDamaged(std::move(step), image.Damaged);
}

OperationStep PicOperations::WriteDataMemory(ImageData<std::uint8_t> image) {
  OperationStep step = Step([this, image] { return CheckImages(std::nullopt, image.Count); },
                            [this, image](OperationRun& run) {
                              const std::int32_t length = std::min(image.Count, 2 * type_.EepromSize);
                              run.Log("запись Eeprom " + std::to_string(length / 2) + " байт");
                              run.StartProgress(length - 1);
                              PartialWrite partial(run.Out(), texts::kPicWriteDataCaption);
                              partial.Begun();
                              if (WriteDataLocations(run, image, length, 0)) partial.Finished();
                            });
  return AskIfDamaged(std::move(step), image.Damaged);
}

bool PicOperations::WriteProgramWords(OperationRun& run, ImageData<std::uint16_t> image, std::int32_t n) {
  Enter(true);
  const std::int32_t blockWords = BlockWords();
  const std::int32_t blocks = n == 0 ? 1 : (n + blockWords - 1) / blockWords;
  const std::int32_t wait = WaitCount();
  std::int32_t result = NoError;
  for (std::int32_t b = 0; b < blocks && result == NoError; ++b) {
    if (b > 0 && run.StopRequested(texts::Undone(b, blocks, "блоков флеши") + texts::kStoppedWrite)) return false;
    const std::int32_t start = blockWords * b;
    const std::int32_t count = std::min(n - start, blockWords);
    if (pic18_) {
      result = pic18_->ProgramBlock(image, start, count);
    } else {
      ProgramBlock(utils_, type_.ProgrammType, static_cast<std::uint16_t>(start), static_cast<std::uint16_t>(count),
                   image.Values, wait, result);
    }
    run.Progress(static_cast<std::int64_t>(blockWords) * (b + 1));
    if (result != NoError) run.Log(texts::kPicMismatchAt + std::to_string(result));
  }
  return Ended(run, result, texts::kPicFlashWritten);
}

bool PicOperations::WriteDataLocations(OperationRun& run, ImageData<std::uint8_t> image, std::int32_t length,
                                       std::int32_t progressOffset) {
  Enter(true);
  const std::int32_t locations = length / 2;
  const std::int32_t perBlock = kBlockBytes / 2;
  std::int32_t at = 0;  // the location the target's counter stands on
  std::int32_t result = NoError;
  for (std::int32_t b = 0; b * perBlock < locations && result == NoError; ++b) {
    if (b > 0 && run.StopRequested(texts::Undone(b * perBlock, locations, "байт Eeprom") + texts::kStoppedWrite)) {
      return false;
    }
    result = WriteFilledRuns(image, b * perBlock, std::min(locations, (b + 1) * perBlock), at);
    run.Progress(static_cast<std::int64_t>(kBlockBytes) * (b + 1) + progressOffset);
    if (result != NoError) run.Log(texts::kPicMismatchAt + std::to_string(result));
  }
  return Ended(run, result, texts::kPicDataWritten);
}

std::int32_t PicOperations::WriteFilledRuns(ImageData<std::uint8_t> image, std::int32_t first, std::int32_t end,
                                            std::int32_t& at) {
  if (pic18_) return pic18_->WriteDataLocations(image, first, end);
  std::int32_t result = NoError;
  while (first < end && result == NoError) {
    if (!image.Holds(static_cast<std::size_t>(2 * first))) {
      ++first;
      continue;
    }
    std::int32_t last = first;
    while (last + 1 < end && image.Holds(static_cast<std::size_t>(2 * (last + 1)))) ++last;
    for (; at < first; ++at) StepCounter();
    utils_.PicProgramDataBytes(static_cast<std::uint16_t>(2 * first),
                               static_cast<std::uint16_t>(2 * (last - first + 1)), image.Values, WaitCount(), result);
    at = last + 1;
    first = last + 1;
  }
  return result;
}

}  // namespace pw
