// PICUtils, reads: program memory, data memory and the configuration area, each word as
// command, idle, 16 read clocks, Increment Address, idle (76 samples, read clocks at 22).
#include <algorithm>
#include <functional>

#include "common/Error.h"
#include "pic/PicUtils.h"

namespace pw {
namespace {

constexpr std::int32_t kReadSamples = 76;
constexpr std::int32_t kReadClocksAt = 22;
constexpr std::int32_t kConfigPrefix = 64;

void CheckDestination(std::size_t need, std::size_t have) {
  if (need > have) throw PinwrightError("Ошибка! Буфер для чтения PIC меньше запрошенного");
}

}  // namespace

void PICUtils::PutReadWord(std::int32_t& position, int command) {
  PicPutCommand(position, command);
  PicPutIdle(position);
  PicPutReadClocks(position);
  PicPutCommand(position, 6);
  PicPutIdle(position);
}

void PICUtils::ReadRuns(std::int32_t n, int command, const std::function<void(std::int32_t, std::uint16_t)>& take) {
  // Callers read 16 words per run; a longer read is split where the buffers end.
  const std::int32_t perRun = static_cast<std::int32_t>(SampleRun::kCapacity) / kReadSamples;
  for (std::int32_t done = 0; done < n;) {
    const std::int32_t chunk = std::min<std::int32_t>(perRun, n - done);
    std::int32_t position = 0;
    for (std::int32_t k = 0; k < chunk; ++k) PutReadWord(position, command);
    PicFlush(position);
    for (std::int32_t k = 0; k < chunk; ++k) take(done + k, PicDecodeWord(kReadSamples * k + kReadClocksAt));
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
  std::int32_t position = 0;
  PicPutCommand(position, 0);
  PicPutIdle(position);
  PicPutDataWord(position, 0);
  PicPutIdle(position);
  for (std::int32_t i = 0; i < kConfigWords; ++i) PutReadWord(position, 4);
  PicFlush(position);
  for (std::int32_t i = 0; i < kConfigWords; ++i) {
    const std::uint16_t word = PicDecodeWord(kConfigPrefix + kReadSamples * i + kReadClocksAt);
    destination[static_cast<std::size_t>(2 * i)] = static_cast<std::uint8_t>(word & 0xFF);
    destination[static_cast<std::size_t>(2 * i + 1)] = static_cast<std::uint8_t>(word >> 8);
  }
}

void PICUtils::PicReadBaselineConfig(std::uint16_t flashSize, std::span<std::uint8_t> destination) {
  CheckDestination(2 * kConfigWords, destination.size());
  std::int32_t position = 0;
  PutReadWord(position, 4);  // the configuration word; its Increment wraps the counter to 0
  for (std::int32_t w = 0; w < flashSize; ++w) PicPutCommand(position, 6);
  const std::int32_t idsAt = position;
  for (std::int32_t i = 0; i < 4; ++i) PutReadWord(position, 4);
  PicFlush(position);
  std::fill(destination.begin(), destination.begin() + 2 * kConfigWords, std::uint8_t{0xFF});
  auto store = [&](std::int32_t word, std::uint16_t value) {
    destination[static_cast<std::size_t>(2 * word)] = static_cast<std::uint8_t>(value & 0xFF);
    destination[static_cast<std::size_t>(2 * word + 1)] = static_cast<std::uint8_t>((value >> 8) & 0x0F);
  };
  store(7, PicDecodeWord(kReadClocksAt));
  for (std::int32_t i = 0; i < 4; ++i) store(i, PicDecodeWord(idsAt + kReadSamples * i + kReadClocksAt));
}

}  // namespace pw
