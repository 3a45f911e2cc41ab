#pragma once
/// @file
/// Numbers as the system shows them in hexadecimal: upper-case digits with leading zeros.

#include <cstdint>
#include <string>

namespace pw {

/// The low `digits` hexadecimal digits of value, upper case, zero-padded ("0A", "01F8").
inline std::string HexDigits(std::uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  return text;
}

}  // namespace pw
