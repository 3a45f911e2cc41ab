#pragma once
/// @file
/// Reading Intel HEX files into memory images.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

/// Value of a hex digit ('0'-'9', 'A'-'F', 'a'-'f'), or -1 for any other character.
int HexDigitValue(char c);

/// The number written in hex digits by text, modulo 65,536 (so only its last four digits
/// count); an empty text gives 0. Lower-case digits read like upper-case ones. A character
/// that is no hex digit raises PinwrightError.
std::uint16_t HexToWord(std::string_view text);

/// The largest HEX file read: far beyond the text of the largest chip's memory.
inline constexpr std::uintmax_t kHexFileLimit = 64u << 20;

/// What a load found besides the data.
struct HexLoadReport {
  /// Which elements of each target a record filled, sized like the targets.
  std::vector<bool> WordsFilled;
  std::vector<bool> TopFilled;
  std::vector<bool> MidFilled;
  /// Records read (data and extended-address ones) whose checksum is wrong or missing, and the
  /// line of the first.
  long BadChecksums = 0;
  long FirstBadChecksumLine = 0;
};

/// Whether file exists and is not a folder: a folder is a file not found, as a person sees it.
bool IsPresentFile(const std::filesystem::path& file);

/// Loads an Intel HEX file into up to three images, choosing each data record's image by its
/// first byte address A (load offset plus the base of the last extended-address record):
///  - A >= topStart: bytes into topTarget at A - topStart; topCount is one past the highest byte;
///  - else A >= midStart: bytes into midTarget at A - midStart, counted in midCount;
///  - else: little-endian words into wordTarget at A / 2 (an odd last byte is dropped), counted
///    in wordCount.
/// Every element not covered by a record reads 0xFF (0xFFFF); counts include such gaps.
/// Only record types 00, 02 and 04 are honoured; start characters are not checked, a wrong
/// checksum is only counted in the report, and an end record does not stop reading. Fields cut off by the end of a line
/// read the digits that are there.
///
/// A target's capacity is its size (65,536 elements for the shared images). The load is all
/// or nothing: a missing file (texts::kFileNotFound), one that is no regular file or is larger
/// than kHexFileLimit, a file that cannot be read, a numeric field holding a character that is
/// no hex digit, a record that reaches past its target, or a file from which no record put a
/// single element into a target (texts::HexNoData) raises PinwrightError and leaves every
/// target and count as it was.
HexLoadReport LoadHexFile(const std::filesystem::path& fileName, std::span<std::uint16_t> wordTarget,
                          std::int32_t& wordCount, std::span<std::uint8_t> topTarget, std::int32_t& topCount,
                          std::uint32_t topStart, std::span<std::uint8_t> midTarget, std::int32_t& midCount,
                          std::uint32_t midStart);

}  // namespace pw

namespace pw {

/// LoadHexFile on text already read; name stands for the file in messages.
HexLoadReport LoadHexText(std::string_view text, const std::string& name, std::span<std::uint16_t> wordTarget,
                          std::int32_t& wordCount, std::span<std::uint8_t> topTarget, std::int32_t& topCount,
                          std::uint32_t topStart, std::span<std::uint8_t> midTarget, std::int32_t& midCount,
                          std::uint32_t midStart);

}  // namespace pw
