// PICUtils, writes with verify: every word or data location is loaded, programmed, waited for,
// read back and stepped past in one sequence; a block goes in as few runs as the sample buffers
// allow, so a long programming wait never makes a run outgrow them.
#include <algorithm>

#include "common/Error.h"
#include "pic/PicUtils.h"

namespace pw {
namespace {

std::int32_t WaitSamples(std::int32_t waitCount) { return waitCount > 0 ? waitCount / PICUtils::kWaitDivisor : 0; }

void CheckImage(std::size_t end, std::size_t size) {
  if (end > size) throw PinwrightError("Ошибка! Блок записи PIC выходит за пределы образа");
}

}  // namespace

template <typename Lay, typename Same>
void PICUtils::ProgramInRuns(std::int32_t count, std::int32_t perWord, std::int32_t readAt, Lay lay, Same same,
                             std::int32_t& result, std::int32_t firstIndex, std::int32_t indexStep) {
  const std::int32_t perRun = static_cast<std::int32_t>(SampleRun::kCapacity / static_cast<std::uint32_t>(perWord));
  if (perRun == 0) CheckFits(perWord);  // not even one word fits: refused before anything is sent
  std::int32_t position = 0;
  if (count == 0) {
    PicFlush(position);
    result = NoError;
    return;
  }
  bool compared = false;
  for (std::int32_t done = 0; done < count;) {
    const std::int32_t chunk = std::min(perRun, count - done);
    for (std::int32_t k = 0; k < chunk; ++k) lay(position, done + k);
    PicFlush(position);
    if (!compared) {
      result = NoError;
      compared = true;
    }
    // Every word is programmed; only the first mismatch is reported.
    for (std::int32_t k = 0; k < chunk && result == NoError; ++k) {
      if (!same(done + k, PicDecodeWord(perWord * k + readAt))) result = firstIndex + indexStep * (done + k);
    }
    done += chunk;
  }
}

void PICUtils::ProgramWords(int programmType, std::uint16_t start, std::uint16_t count,
                            std::span<const std::uint16_t> image, std::int32_t waitCount, std::int32_t& result) {
  CheckImage(static_cast<std::size_t>(start) + count, image.size());
  const std::int32_t d = WaitSamples(waitCount);
  const bool baseline = programmType == 2;
  const std::int32_t perWord = (programmType == 1 ? 122 : 144) + d;
  const std::int32_t readAt = (programmType == 1 ? 68 : 90) + d;
  const std::uint16_t mask = baseline ? 0x0FFF : 0x3FFF;
  auto lay = [&](std::int32_t& p, std::int32_t i) {
    PicPutCommand(p, 2);
    PicPutDataWord(p, image[static_cast<std::size_t>(start + i)]);
    PicPutCommand(p, programmType == 3 ? 24 : 8);
    PicPutDelay(p, waitCount);
    if (programmType != 1) {
      PicPutCommand(p, programmType == 3 ? 23 : 14);
      PicPutIdle(p);
    }
    PicPutCommand(p, 4);
    PicPutReadClocks(p);
    PicPutIdle(p);
    PicPutCommand(p, 6);
  };
  auto same = [&](std::int32_t i, std::uint16_t read) {
    return (read & mask) == (image[static_cast<std::size_t>(start + i)] & mask);
  };
  ProgramInRuns(count, perWord, readAt, lay, same, result, start, 1);
}

void PICUtils::PicProgramWords1(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                                std::int32_t waitCount, std::int32_t& result) {
  ProgramWords(1, start, count, image, waitCount, result);
}

void PICUtils::PicProgramWords2(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                                std::int32_t waitCount, std::int32_t& result) {
  ProgramWords(2, start, count, image, waitCount, result);
}

void PICUtils::PicProgramWords3(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                                std::int32_t waitCount, std::int32_t& result) {
  ProgramWords(3, start, count, image, waitCount, result);
}

void PICUtils::PicProgramDataBytes(std::uint16_t start, std::uint16_t length, std::span<const std::uint8_t> image,
                                   std::int32_t waitCount, std::int32_t& result) {
  const std::int32_t locations = length / 2;
  if (locations > 0) CheckImage(static_cast<std::size_t>(start) + 2 * (locations - 1) + 1, image.size());
  const std::int32_t d = WaitSamples(waitCount);
  auto lay = [&](std::int32_t& p, std::int32_t i) {
    PicPutCommand(p, 3);
    PicPutDataWord(p, image[static_cast<std::size_t>(start + 2 * i)]);
    PicPutCommand(p, 8);
    PicPutDelay(p, waitCount);
    PicPutCommand(p, 5);
    PicPutReadClocks(p);
    PicPutIdle(p);
    PicPutCommand(p, 6);
  };
  auto same = [&](std::int32_t i, std::uint16_t read) {
    return (read & 0xFF) == image[static_cast<std::size_t>(start + 2 * i)];
  };
  ProgramInRuns(locations, 122 + d, 68 + d, lay, same, result, start, 2);
}

void PICUtils::PicProgramOneWord(std::uint16_t value, std::int32_t& flag, std::int32_t mask, std::int32_t programmType,
                                 int loadCommand, std::int32_t waitCount) {
  const bool baseline = programmType == 2;
  const std::int32_t d = WaitSamples(waitCount);
  CheckFits((baseline ? 164 : 142) + d);
  std::int32_t position = 0;
  PicPutCommand(position, baseline && loadCommand == 0 ? 2 : loadCommand);
  PicPutIdle(position);
  PicPutDataWord(position, value);
  PicPutIdle(position);
  PicPutCommand(position, 8);
  PicPutDelay(position, waitCount);
  if (baseline) {
    PicPutCommand(position, 14);
    PicPutIdle(position);
  }
  PicPutCommand(position, 4);
  PicPutIdle(position);
  PicPutReadClocks(position);
  PicPutCommand(position, 6);
  PicFlush(position);
  const std::uint16_t read = PicDecodeWord((baseline ? 120 : 98) + d);
  if ((read & mask) != (value & mask)) flag = mask;
}

}  // namespace pw
