#include "cli/CliOptions.h"

#include <gtest/gtest.h>

#include <stdexcept>

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

TEST(CliOptions, WordsAfterTheCommandAreArgumentsEvenWithADash) {
  const CliOptions o = ParseCliOptions({"--simulator", "avr", "write-flash", "-odd-name.hex"});
  EXPECT_FALSE(o.Bench.has_value());
  EXPECT_EQ(o.Words.back(), "-odd-name.hex");
}

TEST(CliOptions, MalformedLinesAreRefused) {
  EXPECT_THROW(ParseCliOptions({"--bogus", "avr", "identify"}), std::invalid_argument);
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
