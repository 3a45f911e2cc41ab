#include <gtest/gtest.h>

#include <algorithm>

#include "d2xx/FtEepromImage.h"
#include "setup/FtSettings.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;

FtEepromImage ImageOf(const std::filesystem::path& file) {
  const auto bytes = test::ReadBytes(file);
  FtEepromImage image{};
  EXPECT_EQ(bytes.size(), image.size());
  std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
  return image;
}

bool Has(const test::CliResult& r, const std::string& line) {
  const auto lines = r.Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(SettingsCli, ReadWriteAndDefaultsChangeTheEepromFileAsTheChipWould) {
  test::TempDir dir;
  // A chip someone left with CBUS4 13, which the page cannot name.
  FtEepromImage start = FactoryFtEeprom("FT232R USB UART", "PW000001");
  start[0x16] = 13;
  start[0x7E] = static_cast<std::uint8_t>(FtEepromChecksum(start));
  start[0x7F] = static_cast<std::uint8_t>(FtEepromChecksum(start) >> 8);
  dir.Write("ft.bin", std::string(start.begin(), start.end()));
  dir.Write("bench.ini", "[Programmer]\nEeprom=ft.bin\n");
  const std::string bench = "--simulator=" + (dir / "bench.ini").string();

  auto r = RunCli({bench, "--clear-log", "settings", "read"}, dir.Path());
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_EQ(r.Lines(), (std::vector<std::string>{"считывание настроек FT", "Manufacture: FTDI", "ID: PW",
                                                 "Description: FT232R USB UART", "SerialNumber: PW000001", "HI Drive=0",
                                                 "SetupCbus: неизвестная функция", "SetupCurrent: 90", "UsbVer: 2.0",
                                                 "SetupClock: внутренний генератор"}));
  EXPECT_EQ(ImageOf(dir / "ft.bin"), start) << "a read changes nothing";

  r = RunCli({bench, "--yes", "settings", "write", "CLK6", "120", "1.1", "1"}, dir.Path());
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_EQ(r.Lines().back(), "настройки прошиты");
  FtEepromImage image = ImageOf(dir / "ft.bin");
  EXPECT_EQ(image[0x16], 9);
  EXPECT_EQ(image[0x09], 60);
  EXPECT_EQ(image[0x0C] | (image[0x0D] << 8), 0x0110);
  EXPECT_EQ(image[0x00], 0x02 | 0x04);  // external oscillator, high drive
  EXPECT_EQ(image[0x7E] | (image[0x7F] << 8), FtEepromChecksum(image));
  for (int at : {0x02, 0x03, 0x04, 0x05, 0x14, 0x15}) EXPECT_EQ(image[at], start[at]) << at;
  EXPECT_EQ(FtEepromString(image, 0x12), "PW000001");

  r = RunCli({bench, "settings", "read"}, dir.Path());
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  for (const char* line :
       {"HI Drive=1", "SetupCbus: CLK6", "SetupCurrent: 120", "UsbVer: 1.1", "SetupClock: внешний кварц"}) {
    EXPECT_TRUE(Has(r, line)) << line << "\n" << r.Out;
  }

  r = RunCli({bench, "settings", "defaults"}, dir.Path());
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_EQ(r.Lines().back(), "настройки прошиты по умолчанию");
  image = ImageOf(dir / "ft.bin");
  EXPECT_EQ(image[0x16], 10);
  EXPECT_EQ(image[0x09], 25);
  EXPECT_EQ(image[0x0C] | (image[0x0D] << 8), 0x0200);
  EXPECT_EQ(image[0x00], 0x04);
  EXPECT_EQ(image[0x7E] | (image[0x7F] << 8), FtEepromChecksum(image));
}

TEST(SettingsCli, AFailedReadOrABadClockProgramsNothing) {
  test::TempDir dir;
  dir.Write("bench.ini", "[Programmer]\nEeprom=ft.bin\n[Faults]\nFail=EE_Read:3:11\n");
  const std::string bench = "--simulator=" + (dir / "bench.ini").string();
  auto r = RunCli({bench, "settings", "defaults"}, dir.Path());
  EXPECT_EQ(r.Status, 1) << r.Out;
  EXPECT_NE(r.Err.find("FT_EE_Read  - EEPROM read failed..."), std::string::npos) << r.Err;
  // Nothing was programmed, so the bench had no changed memory to write back.
  EXPECT_FALSE(std::filesystem::exists(dir / "ft.bin"));
  r = RunCli({"--simulator", "settings", "write", "CLK6", "50", "2.0", "2"}, dir.Path());
  EXPECT_EQ(r.Status, 64);
  r = RunCli({"--simulator", "settings", "write", "CLK6", "много", "2.0", "0"}, dir.Path());
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Ошибка выполнения. Возможно не подключен программатор"), std::string::npos) << r.Err;
}

TEST(SettingsCli, RiskyOrUnknownSettingsProgramNothing) {
  test::TempDir dir;
  dir.Write("bench.ini", "[Programmer]\nEeprom=ft.bin\n");
  const std::string bench = "--simulator=" + (dir / "bench.ini").string();
  const struct {
    std::vector<std::string> Write;
    int Status;
    std::string Says;
  } cases[] = {
      {{"CLK6", "50", "2.0", "1"}, 1, "подтвердите ключом --yes"},
      {{"CLK6", "65586", "2.0", "0"}, 2, "Ошибка: ток 65586 mA больше 500 mA, прошивка отменена"},
      {{"CLK7", "50", "2.0", "0"}, 64, "нет функции CBUS CLK7; может быть, CLK6"},
      {{"CLK6", "50", "2.1", "0"}, 64, "нет версии USB 2.1; может быть, 2.0, 1.1"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {bench, "settings", "write"};
    args.insert(args.end(), c.Write.begin(), c.Write.end());
    const auto r = RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, c.Status) << r.Out << r.Err;
    EXPECT_NE((r.Out + r.Err).find(c.Says), std::string::npos) << r.Out << r.Err;
    EXPECT_FALSE(std::filesystem::exists(dir / "ft.bin")) << "nothing programmed, nothing written back";
  }
  // Names are taken in any case, and stored as the record spells them.
  EXPECT_EQ(RunCli({bench, "settings", "write", "clk off", "50", "2.0", "0"}, dir.Path()).Status, 0);
  EXPECT_EQ(ImageOf(dir / "ft.bin")[0x16], 10);
}

TEST(SettingsCli, AnUnpluggedWriteIsReadAsDamagedUntilDefaults) {
  test::TempDir dir;
  dir.Write("cut.ini", "[Programmer]\nEeprom=ft.bin\n[Faults]\nUnplugAfterEepromWords=20\n");
  dir.Write("bench.ini", "[Programmer]\nEeprom=ft.bin\n");
  const std::string cut = "--simulator=" + (dir / "cut.ini").string();
  const std::string bench = "--simulator=" + (dir / "bench.ini").string();
  auto r = RunCli({cut, "settings", "defaults"}, dir.Path());
  EXPECT_EQ(r.Status, 1) << r.Out << r.Err;
  EXPECT_TRUE(Has(r, texts::kEepromHalfWritten)) << r.Out;
  r = RunCli({bench, "settings", "read"}, dir.Path());
  EXPECT_EQ(r.Status, 2) << r.Out << r.Err;
  EXPECT_EQ(r.Lines().back(), texts::kEepromChecksumBad);
  EXPECT_EQ(RunCli({bench, "settings", "defaults"}, dir.Path()).Status, 0);
  r = RunCli({bench, "settings", "read"}, dir.Path());
  EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_TRUE(Has(r, "SetupCurrent: 50")) << r.Out;
}

}  // namespace
}  // namespace pw
