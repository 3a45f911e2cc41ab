#include <gtest/gtest.h>

#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;

TEST(CliFrame, HelpPrintsTheCommandLine) {
  test::TempDir dir;
  const auto r = RunCli({"--help"}, dir.Path());
  EXPECT_EQ(r.Status, 0);
  const auto lines = r.Lines();
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(
      lines[0],
      "pinwright-cli [--simulator[=BENCH]] [--trace FILE] [--device SERIAL] [--baud N|auto] [--clear-log] [--yes] "
      "[--force] [--erase] PAGE [TYPE] OPERATION [ARGS] [OPERATION [ARGS]]...");
  EXPECT_EQ(lines[1], "  avr identify | read-fuses | erase | reset");
  EXPECT_EQ(lines[7], "  i2c TYPE read FILE | write FILE | erase | verify FILE");
  EXPECT_EQ(lines[8].rfind("  i2c scan ", 0), 0u);
  EXPECT_EQ(lines[9], "  settings read | write CBUS CURRENT USB CLOCK | defaults");
  EXPECT_NE(r.Out.find("130 stopped by Ctrl-C"), std::string::npos);
  EXPECT_EQ(lines[10].rfind("  spi identify | read FILE | write FILE | erase | verify FILE", 0), 0u);
  EXPECT_NE(r.Out.find("64 usage"), std::string::npos);
  EXPECT_NE(r.Out.find("PINWRIGHT_FTDI_LOCKSTEP=1"), std::string::npos);
}

TEST(CliFrame, UsageMistakesExitWith64AndShowTheCommandLine) {
  test::TempDir dir;
  for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                {"--simulator"},
                                                                {"--simulator", "avr", "no-such-operation"},
                                                                {"--frobnicate", "avr", "identify"},
                                                                {"--trace", "t.bin", "avr", "identify"},
                                                                {"--simulator", "avr", "read-flash"}}) {
    const auto r = RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, 64) << (args.empty() ? "(nothing)" : args.back());
    EXPECT_NE(r.Err.find("PAGE [TYPE] OPERATION"), std::string::npos);
    EXPECT_TRUE(r.Out.empty());
  }
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
