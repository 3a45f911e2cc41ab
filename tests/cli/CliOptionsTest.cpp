#include <gtest/gtest.h>

#include <stdexcept>

#include "cli/CliOptions.h"

namespace pw::cli {
namespace {

TEST(CliOptions, OptionsComeBeforeTheCommandWords) {
  const CliOptions o =
      ParseCliOptions({"--simulator=b.ini", "--trace", "t.bin", "--clear-log", "--yes", "avr", "read-flash", "f.hex"});
  EXPECT_TRUE(o.Simulator);
  EXPECT_EQ(o.Bench, std::filesystem::path("b.ini"));
  EXPECT_EQ(o.Trace, std::filesystem::path("t.bin"));
  EXPECT_TRUE(o.ClearLog);
  EXPECT_TRUE(o.Yes);
  EXPECT_EQ(o.Words, (std::vector<std::string>{"avr", "read-flash", "f.hex"}));
}

TEST(CliOptions, OptionsStandAnywhereAndWordsWithOneDashAreArguments) {
  const CliOptions o =
      ParseCliOptions({"avr", "write-flash", "-odd-name.hex", "--simulator", "--baud=38400", "--erase"});
  EXPECT_TRUE(o.Simulator);
  EXPECT_TRUE(o.Erase);
  EXPECT_EQ(o.Baud, "38400");
  EXPECT_FALSE(o.Bench.has_value());
  EXPECT_EQ(o.Words, (std::vector<std::string>{"avr", "write-flash", "-odd-name.hex"}));
  // After "--" a word with two dashes is a file name too.
  EXPECT_EQ(ParseCliOptions({"--yes", "avr", "write-flash", "--", "--odd.hex"}).Words.back(), "--odd.hex");
  EXPECT_TRUE(ParseCliOptions({"avr", "identify", "--version"}).Version);
}

TEST(CliOptions, BaudIsADecimalNumberTheProgrammerCanBeSetTo) {
  struct Case {
    std::string Text;
    std::int32_t Baud;  // 0: refused
  } cases[] = {{"300", 300}, {"3000000", 3'000'000}, {"19200", 19200}, {"299", 0}, {"3000001", 0},    {"0", 0},
               {"-9600", 0}, {"9600x", 0},           {" 9600", 0},     {"", 0},    {"4294967296", 0}, {"0x4B00", 0}};
  for (const auto& c : cases) {
    if (c.Baud != 0) {
      EXPECT_EQ(ParseBaudNumber(c.Text), c.Baud) << c.Text;
      EXPECT_EQ(ParseCliOptions({"--baud", c.Text, "avr", "identify"}).Baud, c.Text);
    } else {
      EXPECT_THROW(ParseBaudNumber(c.Text), std::invalid_argument) << c.Text;
      EXPECT_THROW(ParseCliOptions({"avr", "identify", "--baud", c.Text}), std::invalid_argument) << c.Text;
    }
  }
  EXPECT_THROW(ParseCliOptions({"avr", "identify", "--baud"}), std::invalid_argument);
}

TEST(CliOptions, MalformedLinesAreRefused) {
  EXPECT_THROW(ParseCliOptions({"--bogus", "avr", "identify"}), std::invalid_argument);
  EXPECT_THROW(ParseCliOptions({"avr", "identify", "--bogus"}), std::invalid_argument);
  EXPECT_THROW(ParseCliOptions({"--trace"}), std::invalid_argument);
  EXPECT_THROW(ParseCliOptions({"--trace", "t.bin", "avr", "identify"}), std::invalid_argument);
  EXPECT_THROW(ParseCliOptions({"--simulator=", "avr", "identify"}), std::invalid_argument);
  EXPECT_THROW(ParseCliOptions({"--device"}), std::invalid_argument);
  EXPECT_THROW(ParseCliOptions({"--device=", "avr", "identify"}), std::invalid_argument);
  EXPECT_THROW(ParseCliOptions({"--simulator", "--device", "A1", "avr", "identify"}), std::invalid_argument);
}

TEST(CliOptions, DevicePicksTheProgrammerBySerial) {
  EXPECT_EQ(ParseCliOptions({"--device", "FT1X2Y3Z", "avr", "identify"}).Device, "FT1X2Y3Z");
  EXPECT_EQ(ParseCliOptions({"--device=A9", "avr", "identify"}).Device, "A9");
  EXPECT_EQ(ParseCliOptions({"avr", "identify"}).Device, "");
}

TEST(CliOptions, HelpIsFoundAnywhere) {
  EXPECT_TRUE(ParseCliOptions({"--help"}).Help);
  EXPECT_TRUE(ParseCliOptions({"avr", "--help"}).Help);
}

}  // namespace
}  // namespace pw::cli
