#pragma once
/// @file
/// The configuration area as an operation takes and gives it. Mid-range and baseline types: words
/// 0x2000 to 0x2008, low byte first (bytes 0 to 7 the four ID words, 12 and 13 the device ID, 14
/// and 15 the configuration word, 16 and 17 a second configuration word). PIC18 types: bytes 0 to
/// 7 the ID bytes 0x200000 to 0x200007, 12 and 13 the device ID (0x3FFFFE, 0x3FFFFF), 14 to 27
/// the configuration bytes 0x300000 to 0x30000D. Either way configuration bit n (FusesNames[n])
/// is bit n % 8 of byte kPicConfigWordByte + n / 8. ConfigImage holds the area in its first bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <tuple>

#include "pic/PicUtils.h"

namespace pw {

/// Where the configuration word 0x2007 (PIC18: byte 0x300000) begins in the area.
inline constexpr std::size_t kPicConfigWordByte = 14;
/// Configuration bytes a type may have: 14 on PIC18 (0x300000 to 0x30000D), 4 on mid-range parts.
inline constexpr std::size_t kPicConfigBytes = 14;
/// ID bytes of a PIC18 part (0x200000 to 0x200007): bytes 0 to 7 of its area.
inline constexpr std::size_t kPic18IdBytes = 8;
/// Configuration bits FusesNames may name.
inline constexpr std::size_t kPicConfigBits = 8 * kPicConfigBytes;

using PicConfigArea = std::array<std::uint8_t, kPicConfigWordByte + kPicConfigBytes>;
static_assert(std::tuple_size_v<PicConfigArea> >= 2 * PICUtils::kConfigWords);

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

/// A PIC18 area's kPic18IdBytes ID bytes as text, each after prefix and followed by a blank.
std::string PicIdBytes(std::span<const std::uint8_t> config, const char* prefix);

}  // namespace pw
