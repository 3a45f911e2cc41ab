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

/// The first word the image holds that reads back otherwise (14 bits), or NoError.
std::int32_t FirstMismatch(ImageData<std::uint16_t> image, const std::vector<std::uint16_t>& written,
                           const std::vector<std::uint16_t>& back) {
  for (std::size_t k = 0; k < written.size(); ++k) {
    if (image.Holds(k) && ((back[k] ^ written[k]) & 0x3FFF) != 0) return static_cast<std::int32_t>(k);
  }
  return NoError;
}

}  // namespace

OperationStep PicOperations::WriteProgramMemory(ImageData<std::uint16_t> image) {
  OperationStep step = Step([this, image] { return CheckImages(image.Count, std::nullopt); },
                            [this, image](OperationRun& run) {
                              const std::int32_t n = std::min(image.Count, type_.FlashSize);
                              run.StartProgress(n);
                              run.Log("запись флеш " + std::to_string(n) + "слов");
                              PartialWrite partial(run.Out(), texts::kPicWriteFlash);
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
                              PartialWrite partial(run.Out(), texts::kPicWriteData);
                              partial.Begun();
                              if (WriteDataLocations(run, image, length, 0)) partial.Finished();
                            });
  return AskIfDamaged(std::move(step), image.Damaged);
}

bool PicOperations::WriteProgramWords(OperationRun& run, ImageData<std::uint16_t> image, std::int32_t n) {
  const std::vector<std::uint16_t> kept = KeepingOsccal(run, image, n);
  image.Values = kept;
  if (PicWritesLatches(type_.ProgrammType)) return WriteLatchedWords(run, image, n);
  Enter(true);
  const std::int32_t blockWords = BlockWords();
  const std::int32_t blocks = n == 0 ? 1 : (n + blockWords - 1) / blockWords;
  const std::int32_t wait = WaitCount(type_.WordCycleMs());
  std::int32_t result = NoError;
  for (std::int32_t b = 0; b < blocks && result == NoError; ++b) {
    if (b > 0 && run.StopRequested(texts::Undone(b, blocks, "блоков флеши") + texts::kStoppedWrite)) return false;
    const std::int32_t start = blockWords * b;
    const std::int32_t count = std::min(n - start, blockWords);
    if (pic18_) {
      result = pic18_->ProgramBlock(image, start, count);
    } else if (type_.ProgrammType != PicProgramming::Unknown) {
      // An unknown method writes nothing and leaves result as it was: the type is refused anyway.
      utils_.ProgramWords(type_.ProgrammType, static_cast<std::uint16_t>(start), static_cast<std::uint16_t>(count),
                          image.Values, wait, result);
    }
    run.Progress(static_cast<std::int64_t>(blockWords) * (b + 1));
    if (result != NoError) run.Log(texts::kPicMismatchAt + std::to_string(result));
  }
  return Ended(run, result, texts::kPicFlashWritten);
}

bool PicOperations::WriteLatchedWords(OperationRun& run, ImageData<std::uint16_t> image, std::int32_t n) {
  // Words the file leaves out go in as 0x3FFF: a program-only cycle leaves them as the chip has them.
  std::vector<std::uint16_t> words(static_cast<std::size_t>(n), 0x3FFF);
  for (std::size_t k = 0; k < words.size(); ++k) {
    if (image.Holds(k)) words[k] = image.Values[k];
  }
  Enter(true);
  const std::int32_t blocks = (n + kBlockWords - 1) / kBlockWords;
  for (std::int32_t b = 0; b < blocks; ++b) {
    if (b > 0 && run.StopRequested(texts::Undone(b, blocks, "блоков флеши") + texts::kStoppedWrite)) return false;
    const std::int32_t start = kBlockWords * b;
    utils_.PicProgramLatched(static_cast<std::uint16_t>(start),
                             static_cast<std::uint16_t>(std::min(n - start, kBlockWords)), words, type_.WriteLatch,
                             PicLatchEndCommand(type_.ProgrammType), WaitCount(type_.WordCycleMs()));
    run.Progress(static_cast<std::int64_t>(kBlockWords) * (b + 1));
  }
  const auto back = ReadProgramWords(run, n);
  if (!back) return false;
  const std::int32_t result = FirstMismatch(image, words, *back);
  if (result != NoError) run.Log(texts::kPicMismatchAt + std::to_string(result));
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
                               static_cast<std::uint16_t>(2 * (last - first + 1)), image.Values,
                               WaitCount(type_.DataMs), result);
    at = last + 1;
    first = last + 1;
  }
  return result;
}

}  // namespace pw
