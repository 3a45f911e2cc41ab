#pragma once
/// @file
/// Serial numbers as a production job stamps them into each chip: the number's encoding, its
/// width, an optional check value after it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pw::production {

/// How a serial number is laid out in the chip's memory.
enum class SerialEncoding {
  BinaryLittle,  ///< "le": binary, least significant byte first
  BinaryBig,     ///< "be": binary, most significant byte first
  Bcd,           ///< "bcd": two decimal digits a byte, most significant first
  AsciiDecimal,  ///< "dec": decimal digits as ASCII, zero-padded on the left
  AsciiHex,      ///< "hex": upper-case hex digits as ASCII, zero-padded on the left
};

struct SerialFormat {
  SerialEncoding Encoding = SerialEncoding::BinaryLittle;
  /// Bytes of a binary or BCD number, characters of an ASCII one.
  std::size_t Width = 4;
  /// A CRC-16/CCITT-FALSE of the number's bytes follows them: two bytes in the number's byte
  /// order (low first for "le", high first otherwise), four upper-case hex characters for the
  /// ASCII encodings.
  bool Crc = false;
};

/// The encoding named as a job file names it ("le", "be", "bcd", "dec", "hex"); raises
/// PinwrightError naming the known names for another.
SerialEncoding SerialEncodingNamed(const std::string& name);

/// The bytes stamped for value: the number, then its CRC when asked. Raises PinwrightError when
/// value does not fit the width.
std::vector<std::uint8_t> EncodeSerial(std::uint64_t value, const SerialFormat& format);

}  // namespace pw::production
