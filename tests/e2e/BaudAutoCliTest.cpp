// --baud auto: the baud list's "авто" entry from the command line, on every page that takes it.

#include <gtest/gtest.h>

#include "support/TestDirs.h"

namespace pw {
namespace {

TEST(BaudAutoCli, EachFamilyWorksNoSlowerThanTheShippedBaudWithinItsPartsClock) {
  struct Row {
    const char* Bench;
    std::vector<std::string> Words;
    /// The log line naming the choice: never below 19,200 unless the part's clock forbids it.
    const char* Choice;
  };
  const Row rows[] = {
      // The built-in bench's ATmega328P runs at its factory 1 MHz: 28,800 passes, 19,200 is kept.
      {"", {"avr", "identify"}, "Скорость авто: чип отвечает до 28800 бод, работаем на 19200 бод"},
      // An internal 8 MHz clock passes the top step; the work stays at what USB carries.
      {"[AVR]\nPart=ATmega328P\nFuses=E2 D9 FF\n",
       {"avr", "identify"},
       "Скорость авто: чип отвечает до 76800 бод, работаем на 37396 бод"},
      {"[I2C]\nPart=24C00\n",
       {"i2c", "24C00", "read", "e.bin"},
       "Скорость авто: 24C00 работает до 400 кГц, работаем на 37396 бод"},
      {"", {"i2c", "24C256", "read", "e.bin"}, "Скорость авто: 24C256 работает до 400 кГц, работаем на 37396 бод"},
      {"[SPI]\nPart=W25Q32\n",
       {"spi", "identify"},
       "Скорость авто: W25Q32 работает до 50000 кГц, работаем на 37396 бод"},
      {"[SPI]\nPart=W25X10\n",
       {"spi", "read", "f.bin"},
       "Скорость авто: W25X10 работает до 20000 кГц, работаем на 37396 бод"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Choice);
    test::TempDir dir;
    std::vector<std::string> args{"--simulator", "--baud", "auto"};
    if (*row.Bench != '\0') {
      dir.Write("bench.ini", row.Bench);
      args[0] = "--simulator=" + (dir / "bench.ini").string();
    }
    args.insert(args.end(), row.Words.begin(), row.Words.end());
    const auto r = test::RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, 0) << r.Err << r.Out;
    EXPECT_NE(r.Out.find(std::string(row.Choice) + "\n"), std::string::npos) << r.Out;
  }
}

TEST(BaudAutoCli, RefusesWordsThatAreNoNumber) {
  test::TempDir dir;
  const auto r = test::RunCli({"--simulator", "--baud=fast", "avr", "identify"}, dir.Path());
  EXPECT_EQ(r.Status, 64);
  EXPECT_NE(r.Err.find("--baud: нужно auto или число от 300 до 3000000, а не fast"), std::string::npos) << r.Err;
}

}  // namespace
}  // namespace pw
