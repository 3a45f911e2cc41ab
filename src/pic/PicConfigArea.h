#pragma once
/// @file
/// The configuration area as an operation takes and gives it: words 0x2000 to 0x2008, low byte
/// first (bytes 0 to 7 the four ID words, 12 and 13 the device ID, 14 and 15 the configuration
/// word). ConfigImage holds it in its first bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "pic/PicUtils.h"

namespace pw {

using PicConfigArea = std::array<std::uint8_t, 2 * PICUtils::kConfigWords>;

/// Where the configuration word 0x2007 begins in the area.
inline constexpr std::size_t kPicConfigWordByte = 14;

/// An area of erased words: every byte 0xFF.
inline PicConfigArea PicErasedArea() {
  PicConfigArea area;
  area.fill(0xFF);
  return area;
}

/// The area as the first bytes of image (ConfigImage) hold it.
PicConfigArea PicAreaOf(std::span<const std::uint8_t> image);

/// Word k of the area.
std::uint16_t PicAreaWord(const PicConfigArea& area, std::size_t k);

/// The ID words 0 .. count - 1 of a configuration area as text, high byte first, each after
/// prefix and followed by a blank.
std::string PicIdWords(std::span<const std::uint8_t> config, int count, const char* prefix);

}  // namespace pw
