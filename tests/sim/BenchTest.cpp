#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/Error.h"
#include "d2xx/FtEepromImage.h"
#include "sim/Bench.h"
#include "support/TestDirs.h"

namespace pw::sim {
namespace {

TEST(Bench, TheBuiltInBenchHasOneProgrammerWithABoard) {
  auto bench = Bench::Default();
  auto& devices = bench->Programmer().Devices();
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0]->Config.Description, "FT232R USB UART");
  EXPECT_NE(bench->Board(), nullptr);
  EXPECT_EQ(bench->Programmer().Timing().Model, TimingModel::Lenient);
}

TEST(Bench, DevicesTimingAndFaultsComeFromTheFile) {
  test::TempDir dir;
  const auto file = dir.Write("bench.ini", R"(
[Programmer]
Description=USB <-> Serial   ; a converter without the board
Board=no
[programmer2]
description=FT232R USB UART
SerialNumber=XY123456
Board=yes
ListStatus=0
[Programmer3]
Description=Broken
OpenStatus=3
[Timing]
Model=datasheet
SampleRate=1000000
LatencyUs=125
[Faults]
Fail=Write:2:4, SetBitMode:1:1
UnplugAfter=100
)");
  auto bench = Bench::FromFile(file);
  auto& devices = bench->Programmer().Devices();
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0]->Config.Description, "USB <-> Serial");
  EXPECT_FALSE(devices[0]->Board);
  EXPECT_TRUE(devices[1]->Board);
  EXPECT_EQ(devices[1]->Config.SerialNumber, "XY123456");
  EXPECT_EQ(devices[2]->Config.OpenStatus, 3u);
  EXPECT_EQ(bench->Board(), devices[1]->Board.get());
  EXPECT_EQ(bench->Programmer().Timing().Model, TimingModel::Datasheet);
  EXPECT_EQ(bench->Programmer().Timing().SampleRate, 1000000u);
  EXPECT_EQ(bench->Programmer().Timing().Latency, 125 * kPicosPerMicro);
  FT_HANDLE h = 0;
  ASSERT_EQ(bench->Programmer().Open(1, &h), FT_OK);
  EXPECT_EQ(bench->Programmer().SetBitMode(h, 0, 4), FT_INVALID_HANDLE);
}

TEST(Bench, DatasheetTimingHidesNothingBehindUsbLatencyUnlessTheBenchSetsIt) {
  const std::pair<const char*, SimTime> cases[] = {{"[Timing]\nModel=lenient\n", kPicosPerMilli},
                                                   {"[Timing]\nModel=datasheet\n", 0},
                                                   {"[Timing]\nModel=datasheet\nLatencyUs=1000\n", kPicosPerMilli}};
  for (const auto& [text, latency] : cases)
    EXPECT_EQ(Bench::FromText(text, {})->Programmer().Timing().Latency, latency) << text;
  EXPECT_FALSE(Bench::FromText("[Timing]\n", {})->Programmer().Timing().RealTime);
  EXPECT_TRUE(Bench::FromText("[Timing]\nRealTime=Yes\n", {})->Programmer().Timing().RealTime);
  EXPECT_TRUE(Bench::FromText("[I2C]\nPart=24C02\n", {})->Board()->I2cSdaAfterScl);
  EXPECT_FALSE(Bench::FromText("[I2C]\nPart=24C02\nSdaEdge=before\n", {})->Board()->I2cSdaAfterScl);
}

TEST(Bench, MistakesInTheFileAreReportedNotGuessed) {
  test::TempDir dir;
  const char* bad[] = {
      "[Timing]\nModel=fast\n",
      "[Timing]\nRealTime=maybe\n",
      "[Faults]\nFail=Write:x:4\n",
      "[Faults]\nFail=Flush:1:4\n",
      "[Faults]\nShortRead=3\n",
      "[Programmer]\nBoard=maybe\n",
      "[AVR]\nPart=ATmega9999\n",
      "[SPI]\nPart=W25Q999\n",
      "[SPI]\nPart=W25Q32\nStatus=1C1C\n",
      // One header: a flash and an AVR cannot both be on it.
      "[AVR]\nPart=ATmega328P\n[SPI]\nPart=W25Q32\n",
  };
  for (const char* text : bad) EXPECT_THROW(Bench::FromText(text, dir.Path()), PinwrightError) << text;
  EXPECT_THROW(Bench::FromFile(dir / "missing.ini"), PinwrightError);
}

TEST(Bench, TheProgrammersEepromIsKeptInItsFile) {
  test::TempDir dir;
  const auto file = dir.Write("bench.ini", "[Programmer]\nEeprom=ft.bin\n");
  {
    auto bench = Bench::FromFile(file);
    bench->Programmer().Devices()[0]->Eeprom[0x16] = 10;  // CBUS4: what a settings write would leave
    bench->Save();
  }
  ASSERT_EQ(test::ReadBytes(dir / "ft.bin").size(), 128u);
  auto again = Bench::FromFile(file);
  EXPECT_EQ(again->Programmer().Devices()[0]->Eeprom[0x16], 10);
}

TEST(Bench, AnEepromFileThatIsNoWholeImageIsRefused) {
  test::TempDir dir;
  for (std::size_t size : {127u, 129u}) {
    dir.Write("ft.bin", std::string(size, '\0'));
    EXPECT_THROW(Bench::FromText("[Programmer]\nEeprom=ft.bin\n", dir.Path()), PinwrightError) << size;
  }
}

TEST(Bench, AChipIsListedWithTheStringsOfItsEepromImage) {
  test::TempDir dir;
  const FtEepromImage image = FactoryFtEeprom("Pinwright ISP", "PW123456");
  dir.Write("ft.bin", std::string(image.begin(), image.end()));
  auto bench = Bench::FromText("[Programmer]\nEeprom=ft.bin\n", dir.Path());
  const SimDevice& device = *bench->Programmer().Devices()[0];
  EXPECT_EQ(device.Config.Description, "Pinwright ISP");
  EXPECT_EQ(device.Config.SerialNumber, "PW123456");
  EXPECT_EQ(device.Eeprom, image);
  EXPECT_THROW(Bench::FromText("[Programmer]\nDescription=FT232R USB UART\nEeprom=ft.bin\n", dir.Path()),
               PinwrightError);
}

// Before, out-of-range numbers escaped as std::out_of_range or wrapped, a FIFO blocked the
// start for ever, the bench file itself or a shorter file loaded as a memory.
TEST(Bench, EachUnusableNumberOrMemoryFileGetsOneClearLine) {
  test::TempDir dir;
  dir.Write("long.bin", std::string(129, '\0'));
  dir.Write("short.bin", std::string(127, '\0'));
  std::filesystem::create_directory(dir / "folder.bin");
  ASSERT_EQ(mkfifo((dir / "pipe.bin").c_str(), 0600), 0);
  const std::string bad = "Ошибка в файле стенда: ";
  const std::string size = "Ошибка! Размер файла памяти " + (dir / "").string();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"[Faults]\nUnplugAfter=99999999999999999999\n",
       bad + "[Faults] UnplugAfter=99999999999999999999 (число вне пределов 0..18446744073709551615)"},
      {"[Faults]\nFail=Write:4294967296:4\n", bad + "[Faults] Fail=4294967296 (число вне пределов 0..4294967295)"},
      {"[Faults]\nUnplugAtControl=4294967296\n",
       bad + "[Faults] UnplugAtControl=4294967296 (число вне пределов 0..4294967295)"},
      {"[Timing]\nLatencyUs=10000001\n", bad + "[Timing] LatencyUs=10000001 (число вне пределов 0..10000000)"},
      {"[Timing]\nSampleRate=1000000000000\n",
       bad + "[Timing] SampleRate=1000000000000 (число вне пределов 0..1000000000)"},
      {"[Faults]\nStuckLow=D3, D8\n", bad + "[Faults] StuckLow=D8 (нужно линии D0..D7 через запятую)"},
      {"[Faults]\nShort=D3-D5,D3-D3\n", bad + "[Faults] Short=D3-D3 (нужно пары линий Dm-Dn через запятую)"},
      {"[Programmer]\nOpenStatus=-1\n", bad + "[Programmer] OpenStatus=-1 (число вне пределов 0..4294967295)"},
      {"[Programmer]\nEeprom=long.bin\n", size + "long.bin 129 байт, а у памяти микросхемы 128 байт"},
      {"[Programmer]\nEeprom=short.bin\n", size + "short.bin 127 байт, а у памяти микросхемы 128 байт"},
      {"[Programmer]\nEeprom=folder.bin\n", "Ошибка! Файл памяти " + (dir / "folder.bin").string() + " - это папка"},
      {"[Programmer]\nEeprom=pipe.bin\n",
       "Ошибка! Не удалось прочитать файл " + (dir / "pipe.bin").string() + ": это не обычный файл"},
      {"[Programmer]\nEeprom=bench.ini\n",
       bad + "файл памяти " + (dir / "bench.ini").string() + " - это сам файл стенда"},
  };
  for (const auto& [text, message] : cases) {
    try {
      Bench::FromFile(dir.Write("bench.ini", text));
      ADD_FAILURE() << "accepted: " << text;
    } catch (const PinwrightError& e) {
      EXPECT_EQ(e.what(), message) << text;
    }
  }
}

}  // namespace
}  // namespace pw::sim
