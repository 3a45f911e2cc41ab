// --baud auto: the baud list's "авто" entry from the command line.

#include <gtest/gtest.h>

#include "support/TestDirs.h"

namespace pw {
namespace {

TEST(BaudAutoCli, ChoosesTheAutomaticClockAndRefusesWordsThatAreNoNumber) {
  test::TempDir dir;
  // The built-in bench's ATmega328P runs at its factory 1 MHz: SCK phases above 2 µs.
  auto r = test::RunCli({"--simulator", "--baud", "auto", "avr", "identify"}, dir.Path());
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("Скорость авто: чип отвечает до 28800 бод, работаем на 14400 бод\n"), std::string::npos)
      << r.Out;
  r = test::RunCli({"--simulator", "--baud=fast", "avr", "identify"}, dir.Path());
  EXPECT_EQ(r.Status, 64);
  EXPECT_NE(r.Err.find("--baud: нужно auto или число от 300 до 3000000, а не fast"), std::string::npos) << r.Err;
}

}  // namespace
}  // namespace pw
