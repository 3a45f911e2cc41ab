#include "sim/Bench.h"

#include <gtest/gtest.h>

#include "common/Error.h"
#include "d2xx/FtEepromImage.h"
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
  for (const auto& [text, latency] : cases) EXPECT_EQ(Bench::FromText(text, {})->Programmer().Timing().Latency, latency) << text;
  EXPECT_TRUE(Bench::FromText("[I2C]\nPart=24C02\n", {})->Board()->I2cSdaAfterScl);
  EXPECT_FALSE(Bench::FromText("[I2C]\nPart=24C02\nSdaEdge=before\n", {})->Board()->I2cSdaAfterScl);
}

TEST(Bench, MistakesInTheFileAreReportedNotGuessed) {
  test::TempDir dir;
  const char* bad[] = {
      "[Timing]\nModel=fast\n",
      "[Faults]\nFail=Write:x:4\n",
      "[Faults]\nFail=Flush:1:4\n",
      "[Faults]\nShortRead=3\n",
      "[Programmer]\nBoard=maybe\n",
      "[AVR]\nPart=ATmega9999\n",
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

TEST(Bench, AMemoryFileLargerThanTheMemoryIsRefused) {
  test::TempDir dir;
  dir.Write("ft.bin", std::string(129, '\0'));
  EXPECT_THROW(Bench::FromText("[Programmer]\nEeprom=ft.bin\n", dir.Path()), PinwrightError);
}

}  // namespace
}  // namespace pw::sim
