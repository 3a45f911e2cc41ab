#pragma once
/// @file
/// Reading Intel HEX files into memory images.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

namespace pw {

/// Value of a hex digit ('0'-'9', 'A'-'F', 'a'-'f'), or -1 for any other character.
int HexDigitValue(char c);

/// The number written in hex digits by text, modulo 65,536 (so only its last four digits
/// count); an empty text gives 0. Lower-case digits read like upper-case ones. A character
/// that is no hex digit raises PinwrightError.
std::uint16_t HexToWord(std::string_view text);

/// Loads an Intel HEX file into up to three images, choosing each data record's image by its
/// first byte address A (load offset plus the base of the last extended-address record):
///  - A >= topStart: bytes into topTarget at A - topStart; topCount is one past the highest byte;
///  - else A >= midStart: bytes into midTarget at A - midStart, counted in midCount;
///  - else: little-endian words into wordTarget at A / 2 (an odd last byte is dropped), counted
///    in wordCount.
/// Every element not covered by a record reads 0xFF (0xFFFF); counts include such gaps.
/// Only record types 00, 02 and 04 are honoured; start characters and checksums are not
/// checked, and an end record does not stop reading. Fields cut off by the end of a line
/// read the digits that are there.
///
/// A target's capacity is its size (65,536 elements for the shared images). The load is all
/// or nothing: a missing file (texts::kFileNotFound), a file that cannot be read, a numeric
/// field holding a character that is no hex digit, or a record that reaches past its target
/// raises PinwrightError and leaves every target and count as it was.
void LoadHexFile(const std::filesystem::path& fileName, std::span<std::uint16_t> wordTarget, std::int32_t& wordCount,
                 std::span<std::uint8_t> topTarget, std::int32_t& topCount, std::uint32_t topStart,
                 std::span<std::uint8_t> midTarget, std::int32_t& midCount, std::uint32_t midStart);

}  // namespace pw
