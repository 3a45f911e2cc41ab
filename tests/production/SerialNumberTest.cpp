// Serial-number encodings: each layout, with and without its CRC; numbers that do not fit and an unknown name.
// The CRC values come from an independent CRC-16/CCITT-FALSE (Python's binascii.crc_hqx with
// 0xFFFF); "123456789" gives the algorithm's published check value 29B1.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "production/SerialNumber.h"

namespace pw::production {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Ascii(const std::string& text) { return {text.begin(), text.end()}; }

TEST(SerialNumber, EachEncodingLaysOutTheNumberAndItsCrc) {
  struct Case {
    const char* name;
    std::uint64_t value;
    std::size_t width;
    bool crc;
    Bytes expected;
  };
  const Case cases[] = {
      {"le", 0x12345678, 4, false, {0x78, 0x56, 0x34, 0x12}},
      {"le", 0x12345678, 4, true, {0x78, 0x56, 0x34, 0x12, 0x3A, 0x54}},
      {"le", 0x01, 3, false, {0x01, 0x00, 0x00}},
      {"be", 0x1234, 2, false, {0x12, 0x34}},
      {"be", 0x1234, 2, true, {0x12, 0x34, 0x0E, 0xC9}},
      {"bcd", 123456, 3, false, {0x12, 0x34, 0x56}},
      {"bcd", 123456, 3, true, {0x12, 0x34, 0x56, 0x12, 0xFD}},
      {"bcd", 7, 2, false, {0x00, 0x07}},
      {"dec", 123456789, 9, true, Ascii("12345678929B1")},
      {"dec", 42, 6, false, Ascii("000042")},
      {"hex", 0xBEEF, 6, true, Ascii("00BEEF82E0")},
      {"hex", 0xBEEF, 4, false, Ascii("BEEF")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value) + (c.crc ? " crc" : ""));
    EXPECT_EQ(EncodeSerial(c.value, {SerialEncodingNamed(c.name), c.width, c.crc}), c.expected);
  }
}

TEST(SerialNumber, ANumberThatDoesNotFitItsWidthAndAnUnknownEncodingAreRefused) {
  struct Case {
    const char* name;
    std::uint64_t value;
    std::size_t width;
    const char* message;
  };
  const Case cases[] = {
      {"le", 0x100, 1, "Ошибка! Серийный номер 256 не помещается в 1 байт"},
      {"be", 0x10000, 2, "Ошибка! Серийный номер 65536 не помещается в 2 байт"},
      {"bcd", 100, 1, "Ошибка! Серийный номер 100 не помещается в 1 байт"},
      {"dec", 1000, 3, "Ошибка! Серийный номер 1000 не помещается в 3 знаков"},
      {"hex", 0x1000, 3, "Ошибка! Серийный номер 4096 не помещается в 3 знаков"},
      {"le", 0, 0, "Ошибка! Серийный номер 0 не помещается в 0 байт"},
      {"ascii", 1, 1, "Ошибка! Неизвестная запись серийного номера \"ascii\" (известны le, be, bcd, dec, hex)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value));
    try {
      EncodeSerial(c.value, {SerialEncodingNamed(c.name), c.width, true});
      ADD_FAILURE() << "no error";
    } catch (const PinwrightError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_EQ(EncodeSerial(0xFF, {SerialEncoding::BinaryLittle, 1, false}), Bytes{0xFF});  // the largest that fits
}

}  // namespace
}  // namespace pw::production
