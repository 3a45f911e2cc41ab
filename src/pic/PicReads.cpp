// PICUtils, reads: program memory, data memory and the configuration area, each word as
// command, idle, 16 read clocks, Increment Address, idle (76 samples).
#include <algorithm>
#include <functional>
#include <vector>

#include "common/Error.h"
#include "pic/PicUtils.h"

namespace pw {
namespace {

constexpr std::int32_t kReadSamples = 76;

void CheckDestination(std::size_t need, std::size_t have) {
  if (need > have) throw PinwrightError("Ошибка! Буфер для чтения PIC меньше запрошенного");
}

}  // namespace

std::uint32_t PICUtils::PutReadWord(int command) {
  PicPutCommand(command);
  PicPutIdle();
  const std::uint32_t mark = Mark();
  PicPutReadClocks();
  PicPutCommand(6);
  PicPutIdle();
  return mark;
}

void PICUtils::ReadRuns(std::int32_t n, int command, const std::function<void(std::int32_t, std::uint16_t)>& take) {
  // Callers read 16 words per run; a longer read is split where the buffers end.
  const std::int32_t perRun = static_cast<std::int32_t>(SampleRun::kCapacity) / kReadSamples;
  std::vector<std::uint32_t> marks;
  for (std::int32_t done = 0; done < n;) {
    const std::int32_t chunk = std::min<std::int32_t>(perRun, n - done);
    marks.clear();
    for (std::int32_t k = 0; k < chunk; ++k) marks.push_back(PutReadWord(command));
    PicFlush();
    for (std::int32_t k = 0; k < chunk; ++k) take(done + k, PicDecodeWord(marks[static_cast<std::size_t>(k)]));
    done += chunk;
  }
}

void PICUtils::PicReadProgramWords(std::uint16_t n, std::span<std::uint16_t> destination) {
  CheckDestination(n, destination.size());
  ReadRuns(n, 4, [&](std::int32_t i, std::uint16_t word) {
    destination[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(word & 0x3FFF);
  });
}

void PICUtils::PicReadDataBytes(std::uint16_t n, std::span<std::uint8_t> destination) {
  CheckDestination(n, destination.size());
  ReadRuns(n, 5, [&](std::int32_t i, std::uint16_t word) {
    destination[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(word & 0xFF);
  });
}

void PICUtils::PicReadConfigWords(std::span<std::uint8_t> destination) {
  CheckDestination(2 * kConfigWords, destination.size());
  PicPutCommand(0);
  PicPutIdle();
  PicPutDataWord(0);
  PicPutIdle();
  std::vector<std::uint32_t> marks;
  for (std::int32_t i = 0; i < kConfigWords; ++i) marks.push_back(PutReadWord(4));
  PicFlush();
  for (std::int32_t i = 0; i < kConfigWords; ++i) {
    const std::uint16_t word = PicDecodeWord(marks[static_cast<std::size_t>(i)]);
    destination[static_cast<std::size_t>(2 * i)] = static_cast<std::uint8_t>(word & 0xFF);
    destination[static_cast<std::size_t>(2 * i + 1)] = static_cast<std::uint8_t>(word >> 8);
  }
}

void PICUtils::PicReadBaselineConfig(std::uint16_t flashSize, std::span<std::uint8_t> destination) {
  CheckDestination(2 * kConfigWords, destination.size());
  const std::uint32_t config = PutReadWord(4);  // the configuration word; its Increment wraps the counter to 0
  for (std::int32_t w = 0; w < flashSize; ++w) PicPutCommand(6);
  std::vector<std::uint32_t> ids;
  for (std::int32_t i = 0; i < 4; ++i) ids.push_back(PutReadWord(4));
  PicFlush();
  std::fill(destination.begin(), destination.begin() + 2 * kConfigWords, std::uint8_t{0xFF});
  auto store = [&](std::int32_t word, std::uint16_t value) {
    destination[static_cast<std::size_t>(2 * word)] = static_cast<std::uint8_t>(value & 0xFF);
    destination[static_cast<std::size_t>(2 * word + 1)] = static_cast<std::uint8_t>((value >> 8) & 0x0F);
  };
  store(7, PicDecodeWord(config));
  for (std::int32_t i = 0; i < 4; ++i) store(i, PicDecodeWord(ids[static_cast<std::size_t>(i)]));
}

}  // namespace pw
