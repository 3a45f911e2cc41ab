// pinwright-cli against benches with a chip tray or chips busy after power-up: the chip in the
// socket gets its own memory file, a faulty or absent chip and a chip that stays busy end as a
// target failure, a chip busy for less than the programmer's wait is waited out.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/TestDirs.h"

namespace pw {
namespace {

TEST(TrayCli, TheChipInTheSocketAnswersForItselfAndABusyChipIsReportedHonestly) {
  const std::string avrTray = "[AVR]\nPart=ATtiny13A\nFlash=flash-{n}.bin\n[Tray]\nSocket=AVR\nPeriodMs=60000\n";
  const std::string i2c = "[I2C]\nPart=24C02\nMemory=mem.bin\n";
  const std::string spi = "[SPI]\nPart=W25Q20\nMemory=mem.bin\n";
  const struct {
    const char* What;
    std::string Bench;
    std::vector<std::string> Args;
    int Status;
    /// The last line printed.
    const char* Last;
    /// Memory files there after the run.
    std::vector<std::string> Files;
  } cases[] = {
      {"chip 1 of 2", avrTray + "Chips=2\n", {"avr", "write-flash", "in.bin"}, 0, "Ошибок нет", {"flash-1.bin"}},
      {"faulty chip",
       avrTray + "Faulty=1\n[TrayFaulty]\nStuckFlash=0000:1:0\n",
       {"avr", "write-flash", "in.bin"},
       2,
       "Ошибка: при проверке флеши",
       {"flash-1.bin"}},
      {"empty tray", avrTray + "Chips=0\n", {"avr", "identify"}, 2, "чип: неизвестный", {}},
      {"EEPROM busy less than the poll",
       i2c + "BusyMs=20\n",
       {"i2c", "24C02", "write", "in.bin"},
       0,
       "Ошибок нет",
       {"mem.bin"}},
      {"EEPROM busy longer",
       i2c + "BusyMs=5000\n",
       {"i2c", "24C02", "read", "out.bin"},
       2,
       "Ошибка: EEPROM не отвечает (адрес 0x0000), файл не сохранён",
       {}},
      {"flash busy",
       spi + "BusyMs=500\n",
       {"spi", "read", "out.bin"},
       2,
       "Ошибка: микросхема SPI Flash не отвечает (ID FF FF FF)",
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    test::TempDir dir;
    dir.Write("bench.ini", c.Bench);
    dir.Write("in.bin", std::string(256, '\x5A'));
    std::vector<std::string> args = {"--simulator=bench.ini"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const auto r = test::RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, c.Status) << r.Out << r.Err;
    // A failure's line may be followed by the diagnosis's two lines; a failed verify's lines are
    // on standard error.
    const auto lines = r.Err.find(c.Last) == std::string::npos ? r.Lines() : r.ErrLines();
    const auto last = std::find(lines.begin(), lines.end(), c.Last);
    EXPECT_TRUE(last != lines.end() && lines.end() - last <= 3) << r.Out;
    for (const char* name : {"flash-1.bin", "flash-2.bin", "mem.bin", "out.bin"}) {
      EXPECT_EQ(std::filesystem::exists(dir / name), std::count(c.Files.begin(), c.Files.end(), name) == 1) << name;
    }
  }
}

}  // namespace
}  // namespace pw
