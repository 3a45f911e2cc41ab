#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "common/Error.h"
#include "support/TestDirs.h"

namespace pw::cli {
namespace {

TEST(RunOptions, BaudOfTheLineReplacesSpeedTxtForTheRun) {
  test::TempDir dir;
  const FormPaths paths{dir / "program", "", dir / "work"};
  dir.Write("work/speed.txt", "300\n600\n1200\n2400\n4800\n9600\n14400\n19200\n38400\n");
  struct Case {
    std::vector<std::string> Line;
    std::int32_t Baud;
  } cases[] = {
      {{"avr", "identify"}, 19200},
      {{"avr", "identify", "--baud", "38400"}, 38400},
      {{"--baud=300", "avr", "identify"}, 300},
      {{"--baud", "auto", "avr", "identify"}, 19200},  // the start before the chip is probed
  };
  for (const auto& c : cases) EXPECT_EQ(RunBaud(ParseCliOptions(c.Line), paths), c.Baud) << c.Line.back();
  dir.Write("work/speed.txt", "300\n600\n");
  EXPECT_THROW(RunBaud(ParseCliOptions({"avr", "identify"}), paths), PinwrightError);
  EXPECT_EQ(RunBaud(ParseCliOptions({"--baud", "9600", "avr", "identify"}), paths), 9600);
}

}  // namespace
}  // namespace pw::cli
