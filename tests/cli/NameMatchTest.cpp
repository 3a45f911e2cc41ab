#include <gtest/gtest.h>

#include "cli/CliPages.h"
#include "cli/NameMatch.h"

namespace pw::cli {
namespace {

TEST(NameMatch, ClosestNamesAreTheNearMisspellings) {
  const std::vector<std::string> ops{"identify", "read-fuses", "read-flash", "write-flash", "erase", "reset"};
  struct Case {
    std::string Word;
    std::vector<std::string> Near;
  } cases[] = {
      {"indentify", {"identify"}},
      {"IDENTIFI", {"identify"}},
      {"read-flsh", {"read-flash"}},
      {"raed-fuses", {"read-fuses"}},
      {"erse", {"erase"}},
      {"rest", {"reset"}},
      {"write", {}},
      {"xyzzy", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ClosestNames(c.Word, ops), c.Near) << c.Word;
  EXPECT_EQ(EditDistance("24c256", "24C265"), 1u);
  EXPECT_EQ(EditDistance("", "abc"), 3u);
  EXPECT_EQ(ClosestNames("24c265", {"24C16", "24C02", "24C256", "24C512"}), (std::vector<std::string>{"24C256"}));
  EXPECT_EQ(ClosestNames("pic16f62", {"PIC16F84A", "PIC16F627A", "PIC16F628A", "PIC16F648A"}),
            (std::vector<std::string>{"PIC16F627A", "PIC16F628A"}));
}

TEST(NameMatch, CommandWordsMatchInAnyCaseAndMistakesNameTheNearest) {
  struct Case {
    std::vector<std::string> Words;
    std::string Operations;  // the operations matched, or empty for a usage mistake
    std::string Message;     // what the mistake's message holds
  } cases[] = {
      {{"AVR", "Identify"}, "identify", ""},
      {{"avr", "WRITE-FLASH", "Blink.HEX"}, "write-flash", ""},
      {{"i2c", "24c256", "Read", "x.hex"}, "read", ""},
      {{"Settings", "read"}, "read", ""},
      {{"i2c", "Scan"}, "scan", ""},  // no type before an operation that needs none
      {{"i2c", "24C16", "scan"}, "scan", ""},
      {{"i2c", "scan", "erase"}, "", "i2c erase: нужен ТИП"},
      {{"avr", "write-flash", "a.hex", "write-eeprom", "e.hex", "write-fuses", "E2", "D9", "FF", "FF"},
       "write-flash write-eeprom write-fuses",
       ""},
      {{"avr", "write-flash", "write-eeprom", "identify"}, "write-flash identify", ""},  // a file may bear any name
      {{"avr", "indentify"}, "", "нет операции indentify; может быть, identify?"},
      {{"avrr", "identify"}, "", "нет страницы avrr; может быть, avr?"},
      {{"setings", "read"}, "", "может быть, settings?"},
      {{"flash", "read"}, "", "нет страницы flash; известны: avr, "},
      {{"avr"}, "", "avr: не задана операция; известны: identify, "},
      {{"pic", "PIC16F628A"}, "", "pic ТИП: не задана операция"},
      {{"avr", "read-flash"}, "", "avr read-flash: аргументов нужно 1, а задано 0"},
      {{"avr", "write-flash", "a.hex", "write-eeprom"}, "", "avr write-eeprom: аргументов нужно 1, а задано 0"},
      {{"i2c", "24C256", "erase", "x"}, "", "i2c ТИП erase берёт аргументов: 0; нет операции x"},
      {{}, "", "не задана команда"},
  };
  for (const auto& c : cases) {
    try {
      const CliCommandLine line = ParseCommandWords(c.Words);
      std::string names;
      for (const CliStep& s : line.Steps) names += (names.empty() ? "" : " ") + s.Operation->Name;
      EXPECT_EQ(names, c.Operations) << testing::PrintToString(c.Words);
    } catch (const UsageError& e) {
      EXPECT_EQ(c.Operations, "") << e.what();
      EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
    }
  }
  const CliCommandLine line = ParseCommandWords({"I2C", "24c256", "write", "Data.hex"});
  EXPECT_EQ(line.Type, "24c256");
  EXPECT_EQ(line.Steps.at(0).Args, (std::vector<std::string>{"Data.hex"}));
  EXPECT_EQ(ParseCommandWords({"avr", "write-flash", "a.hex"}, true).Steps.at(0).Operation->Name, "erase");
  EXPECT_THROW(ParseCommandWords({"avr", "identify"}, true), UsageError);
}

}  // namespace
}  // namespace pw::cli
