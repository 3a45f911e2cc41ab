#include "production/SerialNumber.h"

#include <array>
#include <utility>

#include "common/Error.h"

namespace pw::production {
namespace {

constexpr std::array<std::pair<const char*, SerialEncoding>, 5> kEncodings{{
    {"le", SerialEncoding::BinaryLittle},
    {"be", SerialEncoding::BinaryBig},
    {"bcd", SerialEncoding::Bcd},
    {"dec", SerialEncoding::AsciiDecimal},
    {"hex", SerialEncoding::AsciiHex},
}};

/// CRC-16/CCITT-FALSE: polynomial 0x1021, initial value 0xFFFF, no reflection.
std::uint16_t Crc16(const std::vector<std::uint8_t>& bytes) {
  std::uint16_t crc = 0xFFFF;
  for (const std::uint8_t byte : bytes) {
    crc = static_cast<std::uint16_t>(crc ^ (byte << 8));
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
  }
  return crc;
}

/// Digits of value in base, most significant first, zero-padded to width; nothing when it does not fit.
std::vector<std::uint8_t> Digits(std::uint64_t value, std::size_t width, unsigned base) {
  std::vector<std::uint8_t> digits(width, 0);
  for (std::size_t i = width; i-- > 0;) {
    digits[i] = static_cast<std::uint8_t>(value % base);
    value /= base;
  }
  if (value != 0) return {};
  return digits;
}

std::vector<std::uint8_t> Number(std::uint64_t value, const SerialFormat& format) {
  switch (format.Encoding) {
    case SerialEncoding::BinaryLittle: {
      auto bytes = Digits(value, format.Width, 256);
      return {bytes.rbegin(), bytes.rend()};
    }
    case SerialEncoding::BinaryBig:
      return Digits(value, format.Width, 256);
    case SerialEncoding::Bcd: {
      const auto digits = Digits(value, format.Width * 2, 10);
      std::vector<std::uint8_t> bytes;
      for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(digits[i] << 4 | digits[i + 1]));
      }
      return bytes;
    }
    case SerialEncoding::AsciiDecimal:
    case SerialEncoding::AsciiHex: {
      auto digits = Digits(value, format.Width, format.Encoding == SerialEncoding::AsciiHex ? 16 : 10);
      for (auto& d : digits) d = static_cast<std::uint8_t>("0123456789ABCDEF"[d]);
      return digits;
    }
  }
  return {};
}

void AppendCrc(std::vector<std::uint8_t>& bytes, SerialEncoding encoding) {
  const std::uint16_t crc = Crc16(bytes);
  const auto high = static_cast<std::uint8_t>(crc >> 8);
  const auto low = static_cast<std::uint8_t>(crc & 0xFF);
  if (encoding == SerialEncoding::AsciiDecimal || encoding == SerialEncoding::AsciiHex) {
    for (int shift = 12; shift >= 0; shift -= 4)
      bytes.push_back(static_cast<std::uint8_t>("0123456789ABCDEF"[(crc >> shift) & 0xF]));
  } else if (encoding == SerialEncoding::BinaryLittle) {
    bytes.insert(bytes.end(), {low, high});
  } else {
    bytes.insert(bytes.end(), {high, low});
  }
}

}  // namespace

SerialEncoding SerialEncodingNamed(const std::string& name) {
  std::string known;
  for (const auto& [text, encoding] : kEncodings) {
    if (name == text) return encoding;
    known += known.empty() ? text : std::string(", ") + text;
  }
  throw PinwrightError("Ошибка! Неизвестная запись серийного номера \"" + name + "\" (известны " + known + ")");
}

std::vector<std::uint8_t> EncodeSerial(std::uint64_t value, const SerialFormat& format) {
  auto bytes = format.Width == 0 ? std::vector<std::uint8_t>{} : Number(value, format);
  if (bytes.empty()) {
    throw PinwrightError(
        "Ошибка! Серийный номер " + std::to_string(value) + " не помещается в " + std::to_string(format.Width) +
        (format.Encoding == SerialEncoding::AsciiDecimal || format.Encoding == SerialEncoding::AsciiHex ? " знаков"
                                                                                                        : " байт"));
  }
  if (format.Crc) AppendCrc(bytes, format.Encoding);
  return bytes;
}

}  // namespace pw::production
