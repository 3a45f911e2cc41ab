// Pic18Operations, program memory and data EEPROM: buffer-sized writes read back at once, and
// the whole-area reads.

#include <algorithm>
#include <vector>

#include "pic/Pic18Operations.h"
#include "pic/PicUtils.h"

namespace pw {
namespace {

/// Program-memory bytes per read run: enough to keep the exchanges few and the stop check close.
constexpr std::size_t kReadChunkBytes = 256;

std::uint16_t WordOf(std::span<const std::uint8_t> bytes, std::size_t w) {
  return static_cast<std::uint16_t>(bytes[2 * w] | bytes[2 * w + 1] << 8);
}

}  // namespace

std::int32_t Pic18Operations::ProgramBlock(ImageData<std::uint16_t> image, std::int32_t start, std::int32_t count) {
  const auto first = static_cast<std::size_t>(start);
  if (!image.HoldsAny(first, first + static_cast<std::size_t>(count))) return NoError;
  // Bytes of the buffer the image does not hold stay 0xFF, which leaves the chip's as they are.
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(type_.WriteBuffer), 0xFF);
  for (std::size_t w = 0; w < static_cast<std::size_t>(count); ++w) {
    if (!image.Holds(first + w)) continue;
    buffer[2 * w] = static_cast<std::uint8_t>(image.Values[first + w] & 0xFF);
    buffer[2 * w + 1] = static_cast<std::uint8_t>(image.Values[first + w] >> 8);
  }
  const auto address = static_cast<std::uint32_t>(2 * first);
  utils_.WriteBuffer(address, buffer, ProgramMs());
  std::vector<std::uint8_t> back(buffer.size());
  utils_.ReadBytes(address, back);
  utils_.Flush();
  for (std::size_t w = 0; w < static_cast<std::size_t>(count); ++w) {
    if (image.Holds(first + w) && WordOf(back, w) != image.Values[first + w])
      return static_cast<std::int32_t>(first + w);
  }
  return NoError;
}

std::int32_t Pic18Operations::WriteDataLocations(ImageData<std::uint8_t> image, std::int32_t first, std::int32_t end) {
  std::vector<std::uint8_t> back(static_cast<std::size_t>(end - first));
  for (std::int32_t k = first; k < end; ++k) {
    const auto at = static_cast<std::size_t>(2 * k);
    if (!image.Holds(at)) continue;
    utils_.WriteData(static_cast<std::uint16_t>(k), image.Values[at], ProgramMs());
    utils_.ReadData(static_cast<std::uint16_t>(k), &back[static_cast<std::size_t>(k - first)]);
  }
  utils_.Flush();
  for (std::int32_t k = first; k < end; ++k) {
    const auto at = static_cast<std::size_t>(2 * k);
    if (image.Holds(at) && back[static_cast<std::size_t>(k - first)] != image.Values[at]) return 2 * k;
  }
  return NoError;
}

void Pic18Operations::ReadProgram(std::int32_t start, std::span<std::uint16_t> words) {
  std::vector<std::uint8_t> bytes(2 * words.size());
  for (std::size_t at = 0; at < bytes.size(); at += kReadChunkBytes) {
    const std::size_t n = std::min(kReadChunkBytes, bytes.size() - at);
    utils_.ReadBytes(static_cast<std::uint32_t>(2 * start + at), std::span(bytes).subspan(at, n));
    utils_.Flush();
  }
  for (std::size_t w = 0; w < words.size(); ++w) words[w] = WordOf(bytes, w);
}

void Pic18Operations::ReadData(std::span<std::uint8_t> bytes) {
  for (std::size_t k = 0; k < bytes.size(); ++k) utils_.ReadData(static_cast<std::uint16_t>(k), &bytes[k]);
  utils_.Flush();
}

}  // namespace pw
