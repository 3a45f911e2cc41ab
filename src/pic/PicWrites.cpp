// PICUtils, writes with verify: every word or data location is loaded, programmed, waited for,
// read back and stepped past in one sequence; a block goes in as few runs as the sample buffers
// allow, so a long programming wait never makes a run outgrow them. Parts with a write latch
// take a whole latch block per programming cycle; their caller reads the words back afterwards.
#include <algorithm>
#include <vector>

#include "common/Error.h"
#include "pic/PicUtils.h"

namespace pw {
namespace {

std::int32_t WaitSamples(std::int32_t waitCount) { return waitCount > 0 ? waitCount / PICUtils::kWaitDivisor : 0; }

void CheckImage(std::size_t end, std::size_t size) {
  if (end > size) throw PinwrightError("Ошибка! Блок записи PIC выходит за пределы образа");
}

}  // namespace

std::uint32_t PICUtils::PutReadBack(int command) {
  PicPutCommand(command);
  const std::uint32_t mark = Mark();
  PicPutReadClocks();
  PicPutIdle();
  PicPutCommand(6);
  return mark;
}

template <typename Lay, typename Same>
void PICUtils::ProgramInRuns(std::int32_t count, std::int32_t perWord, Lay lay, Same same, std::int32_t& result,
                             std::int32_t firstIndex, std::int32_t indexStep) {
  const std::int32_t perRun = static_cast<std::int32_t>(SampleRun::kCapacity / static_cast<std::uint32_t>(perWord));
  if (perRun == 0) CheckFits(perWord);  // not even one word fits: refused before anything is sent
  if (count == 0) {
    PicFlush();
    result = NoError;
    return;
  }
  bool compared = false;
  std::vector<std::uint32_t> marks;
  for (std::int32_t done = 0; done < count;) {
    const std::int32_t chunk = std::min(perRun, count - done);
    marks.clear();
    for (std::int32_t k = 0; k < chunk; ++k) marks.push_back(lay(done + k));
    PicFlush();
    if (!compared) {
      result = NoError;
      compared = true;
    }
    // Every word is programmed; only the first mismatch is reported.
    for (std::int32_t k = 0; k < chunk && result == NoError; ++k) {
      if (!same(done + k, PicDecodeWord(marks[static_cast<std::size_t>(k)])))
        result = firstIndex + indexStep * (done + k);
    }
    done += chunk;
  }
}

void PICUtils::ProgramWords(PicProgramming programming, std::uint16_t start, std::uint16_t count,
                            std::span<const std::uint16_t> image, std::int32_t waitCount, std::int32_t& result) {
  CheckImage(static_cast<std::size_t>(start) + count, image.size());
  const bool eraseProgram = programming == PicProgramming::EraseProgram;
  const bool programOnly = programming == PicProgramming::ProgramOnly;
  const std::int32_t perWord = (eraseProgram ? 122 : 144) + WaitSamples(waitCount);
  const std::uint16_t mask = PicWordMask(programming);
  auto lay = [&](std::int32_t i) {
    PicPutCommand(2);
    PicPutDataWord(image[static_cast<std::size_t>(start + i)]);
    PicPutCommand(programOnly ? 24 : 8);
    PicPutDelay(waitCount);
    if (!eraseProgram) {
      PicPutCommand(programOnly ? 23 : 14);  // 14 also ends the cycles of methods 2 and 4
      PicPutIdle();
    }
    return PutReadBack(4);
  };
  auto same = [&](std::int32_t i, std::uint16_t read) {
    return (read & mask) == (image[static_cast<std::size_t>(start + i)] & mask);
  };
  ProgramInRuns(count, perWord, lay, same, result, start, 1);
}

void PICUtils::PicProgramWords1(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                                std::int32_t waitCount, std::int32_t& result) {
  ProgramWords(PicProgramming::EraseProgram, start, count, image, waitCount, result);
}

void PICUtils::PicProgramWords2(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                                std::int32_t waitCount, std::int32_t& result) {
  ProgramWords(PicProgramming::Baseline, start, count, image, waitCount, result);
}

void PICUtils::PicProgramWords3(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                                std::int32_t waitCount, std::int32_t& result) {
  ProgramWords(PicProgramming::ProgramOnly, start, count, image, waitCount, result);
}

void PICUtils::PutLatch(std::span<const std::uint16_t> image, std::int32_t first, std::int32_t end,
                        std::int32_t latchWords, int endCommand, std::int32_t waitCount) {
  for (std::int32_t i = 0; i < latchWords; ++i) {
    // The counter must stand inside the block when the cycle starts: no Increment after the last load.
    if (i > 0) PicPutCommand(6);
    PicPutCommand(2);
    PicPutDataWord(first + i < end ? image[static_cast<std::size_t>(first + i)] : 0x3FFF);
  }
  PicPutCommand(24);
  PicPutDelay(waitCount);
  PicPutCommand(endCommand);
  PicPutIdle();
  PicPutCommand(6);
}

void PICUtils::PicProgramLatched(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                                 std::int32_t latchWords, int endCommand, std::int32_t waitCount) {
  const std::int32_t end = start + count;
  CheckImage(static_cast<std::size_t>(end), image.size());
  const std::int32_t perLatch =
      latchWords * (2 * kCommandSamples + kFrameSamples) + 2 * kCommandSamples + kIdleSamples + WaitSamples(waitCount);
  CheckFits(perLatch);
  for (std::int32_t first = start; first < end; first += latchWords) {
    if (static_cast<std::int64_t>(Mark()) + perLatch > SampleRun::kCapacity) PicFlush();
    PutLatch(image, first, end, latchWords, endCommand, waitCount);
  }
  PicFlush();
}

void PICUtils::PicProgramDataBytes(std::uint16_t start, std::uint16_t length, std::span<const std::uint8_t> image,
                                   std::int32_t waitCount, std::int32_t& result) {
  const std::int32_t locations = length / 2;
  if (locations > 0) CheckImage(static_cast<std::size_t>(start) + 2 * (locations - 1) + 1, image.size());
  auto lay = [&](std::int32_t i) {
    PicPutCommand(3);
    PicPutDataWord(image[static_cast<std::size_t>(start + 2 * i)]);
    PicPutCommand(8);
    PicPutDelay(waitCount);
    return PutReadBack(5);
  };
  auto same = [&](std::int32_t i, std::uint16_t read) {
    return (read & 0xFF) == image[static_cast<std::size_t>(start + 2 * i)];
  };
  ProgramInRuns(locations, 122 + WaitSamples(waitCount), lay, same, result, start, 2);
}

void PICUtils::PicProgramOneWord(std::uint16_t value, std::int32_t& flag, std::int32_t mask, PicProgramming programming,
                                 int loadCommand, std::int32_t waitCount) {
  const bool baseline = programming == PicProgramming::Baseline;
  const int endCommand = PicOneWordEndCommand(programming);
  CheckRoomFor((endCommand != 0 ? 164 : 142) + WaitSamples(waitCount));
  PicPutCommand(baseline && loadCommand == 0 ? 2 : loadCommand);
  PicPutIdle();
  PicPutDataWord(value);
  PicPutIdle();
  PicPutCommand(programming == PicProgramming::LatchedProgramOnly ? 24 : 8);
  PicPutDelay(waitCount);
  if (endCommand != 0) {
    PicPutCommand(endCommand);
    PicPutIdle();
  }
  PicPutCommand(4);
  PicPutIdle();
  const std::uint32_t read = Mark();
  PicPutReadClocks();
  PicPutCommand(6);
  PicFlush();
  if ((PicDecodeWord(read) & mask) != (value & mask)) flag = mask;
}

}  // namespace pw
