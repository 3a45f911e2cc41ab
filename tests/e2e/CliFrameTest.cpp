#include <gtest/gtest.h>

#include <algorithm>

#include "cli/CliTexts.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;

/// Characters, not bytes: the help is Russian, two bytes a letter in UTF-8.
std::size_t Columns(const std::string& line) {
  return static_cast<std::size_t>(std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

TEST(CliFrame, HelpPrintsTheCommandLineWithin80Columns) {
  test::TempDir dir;
  const auto r = RunCli({"-h"}, dir.Path());
  EXPECT_EQ(r.Status, 0);
  const auto lines = r.Lines();
  ASSERT_GE(lines.size(), 40u);
  EXPECT_EQ(lines[0], "pinwright-cli [КЛЮЧИ] СТРАНИЦА [ТИП] ОПЕРАЦИЯ [АРГУМЕНТЫ] [ОПЕРАЦИЯ ...]");
  for (const std::string& line : lines) EXPECT_LE(Columns(line), 80u) << line;
  for (const char* said :
       {"  i2c ТИП read ФАЙЛ | write ФАЙЛ | erase | verify ФАЙЛ", "  i2c scan ",
        "  spi identify | read ФАЙЛ | write ФАЙЛ | erase | verify ФАЙЛ", "64 ошибка в командной строке",
        "130 остановлено Ctrl-C", "PINWRIGHT_FTDI_LOCKSTEP=1", "-q, --quiet", "-v, --verbose"}) {
    EXPECT_NE(r.Out.find(said), std::string::npos) << said;
  }
}

/// A mistake on the line: the one line that says what is wrong (with the nearest names for a
/// slip) and the pointer to --help, nothing else; a line with nothing wrong prints what it asks.
TEST(CliFrame, MistakesSayWhatIsWrongInOneLineAndPointAtHelp) {
  test::TempDir dir;
  struct Case {
    std::vector<std::string> Args;
    int Status;
    std::string First;  // the first line printed: standard error for a mistake, else standard output
  } cases[] = {
      {{}, 64, "не задана команда"},
      {{"--simulator", "avr", "indentify"}, 64, "нет операции indentify; может быть, identify?"},
      {{"--simulater", "avr", "identify"}, 64, "нет ключа --simulater; может быть, --simulator?"},
      {{"--verbos=1", "avr", "identify"}, 64, "нет ключа --verbos; может быть, --verbose?"},
      {{"--frobnicate", "avr", "identify"}, 64, "нет ключа --frobnicate; известны: --help, --version, "},
      {{"--simulator", "avr", "read-flash"}, 64, "avr read-flash: аргументов нужно 1, а задано 0"},
      {{"--simulator", "i2c", "scan", "erase"}, 64, "i2c erase: нужен ТИП (i2c ТИП erase)"},
      {{"avr", "identify", "--device"}, 64, "--device: не задан серийный номер"},
      {{"--trace", "t.bin", "avr", "identify"}, 64, "--trace только вместе с --simulator"},
      {{"produce", "job.ini", "--count", "0"}, 64, "--count: нужно число от 1 до 999999999, а не 0"},
      {{"--simulator", "avr", "write-fuses", "E2", "D9", "FF", "XY"}, 64, "ожидается шестнадцатеричный байт, а не XY"},
      {{"-v", "-q", "avr", "identify"}, 64, "--verbose и --quiet вместе не задаются"},
      {{"-V"}, 0, "pinwright-cli 3.4"},
      {{"-q", "--simulator", "avr", "identify"}, 0, "чип: ATmega328P"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Args));
    const auto r = RunCli(c.Args, dir.Path());
    EXPECT_EQ(r.Status, c.Status) << r.Err;
    if (c.Status == 0) {
      EXPECT_EQ(r.Lines(), std::vector<std::string>{c.First});
      continue;
    }
    const std::string first = r.Err.substr(0, r.Err.find('\n'));
    EXPECT_EQ(first.rfind("pinwright-cli: " + c.First, 0), 0u) << first;
    EXPECT_EQ(r.Err.substr(first.size()), "\n" + std::string(texts::kSeeHelp) + "\n");
    EXPECT_EQ(r.Out, "");
  }
}

/// -v adds a line for every exchange with the programmer to the same run's log.
TEST(CliFrame, VerboseShowsEveryExchangeAndItsSize) {
  test::TempDir dir;
  const auto plain = RunCli({"--simulator", "avr", "identify"}, dir.Path());
  const auto verbose = RunCli({"--simulator", "avr", "identify", "--verbose"}, dir.Path());
  ASSERT_EQ(verbose.Status, 0) << verbose.Err;
  std::vector<std::string> exchanges;
  std::vector<std::string> rest;
  for (const std::string& line : verbose.Lines()) (line.rfind("обмен: ", 0) == 0 ? exchanges : rest).push_back(line);
  EXPECT_EQ(rest, plain.Lines());
  ASSERT_FALSE(exchanges.empty());
  EXPECT_EQ(exchanges.front().rfind("обмен: записано ", 0), 0u) << exchanges.front();
  const auto read = std::find_if(exchanges.begin(), exchanges.end(),
                                 [](const std::string& line) { return line.rfind("обмен: прочитано ", 0) == 0; });
  ASSERT_NE(read, exchanges.end());
  EXPECT_NE(*read, texts::ExchangeRead(0));
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

TEST(CliFrame, WithoutTheSimulatorTheMissingHardwareBackendIsSaid) {
  test::TempDir dir;
  const auto r = test::RunCli({"avr", "identify"}, dir.Path());
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("--simulator"), std::string::npos) << r.Err;
  EXPECT_EQ(r.Lines(), std::vector<std::string>{"FT_Open - Device not found..."}) << "the failed call, logged";
}

}  // namespace
}  // namespace pw
