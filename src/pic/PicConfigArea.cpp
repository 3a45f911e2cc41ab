#include "pic/PicConfigArea.h"

#include <algorithm>

#include "common/HexDigits.h"

namespace pw {

PicConfigArea PicAreaOf(std::span<const std::uint8_t> image) {
  PicConfigArea area{};
  std::copy_n(image.begin(), std::min(area.size(), image.size()), area.begin());
  return area;
}

std::uint16_t PicAreaWord(const PicConfigArea& area, std::size_t k) {
  return static_cast<std::uint16_t>(area[2 * k] | (area[2 * k + 1] << 8));
}

std::string PicIdWords(std::span<const std::uint8_t> config, int count, const char* prefix) {
  std::string text;
  for (int j = 0; j < count; ++j) {
    text += prefix + HexDigits(config[static_cast<std::size_t>(2 * j + 1)], 2) +
            HexDigits(config[static_cast<std::size_t>(2 * j)], 2) + " ";
  }
  return text;
}

std::string PicIdBytes(std::span<const std::uint8_t> config, const char* prefix) {
  std::string text;
  for (std::size_t j = 0; j < kPic18IdBytes; ++j) text += prefix + HexDigits(config[j], 2) + " ";
  return text;
}

}  // namespace pw
