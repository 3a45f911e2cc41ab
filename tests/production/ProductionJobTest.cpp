// The job file: what a good one reads as, and one clear line naming file, key and value for each
// job that cannot serve.

#include <gtest/gtest.h>

#include "common/Error.h"
#include "production/ProductionJob.h"
#include "support/TestDirs.h"

namespace pw::production {
namespace {

TEST(ProductionJob, AGoodJobReadsWithFilesBesideItAndItsDefaults) {
  test::TempDir dir;
  const auto file = dir.Write("board.job",
                              "[Job]\nPage=AVR\nType=ATmega328P\nFlash=fw.hex ; firmware\n"
                              "Fuses=E2 D9 FF\n[Serial]\nMemory=flash\nAddress=0x10\nFirst=7\n");
  const ProductionJob job = ReadProductionJob(file);
  EXPECT_EQ(job.Name, "board");
  EXPECT_EQ(job.Page, "avr");
  EXPECT_TRUE(job.Erase);
  EXPECT_EQ(job.Flash, dir / "fw.hex");
  EXPECT_EQ(job.Database, dir / "board.sqlite");
  ASSERT_TRUE(job.Serial);
  EXPECT_EQ(job.Serial->Address, 0x10u);
  EXPECT_EQ(job.Serial->Plan.First, 7);
  EXPECT_EQ(job.Serial->Format.Width, 4u);
}

TEST(ProductionJob, AJobThatCannotServeIsRefusedNamingFileKeyAndValue) {
  struct Case {
    const char* Text;
    const char* Line;
  };
  const Case cases[] = {
      {"[Job]\nPage=usb\nType=X\nImage=a.bin\n", "Page=usb — страница должна быть"},
      {"[Job]\nPage=i2c\nImage=a.bin\n", "Type= — ключ не задан"},
      {"[Job]\nPage=i2c\nType=24C02\nFlash=a.hex\n", "Flash=a.hex — этот ключ не подходит"},
      {"[Job]\nPage=avr\nType=ATmega8\n", "Page=avr — в задании нет ни одного файла"},
      {"[Job]\nPage=avr\nType=ATmega8\nFlash=a.hex\nErase=maybe\n", "Erase=maybe — нужно yes или no"},
      {"[Job]\nPage=avr\nType=ATmega8\nFlash=a.hex\nLock=FC\n", "Lock=FC — байт защиты"},
      {"[Job]\nPage=avr\nType=ATmega8\nFlash=a.hex\n[Serial]\nMemory=eeprom\n", "Memory=eeprom — для этой памяти"},
      {"[Job]\nPage=spi\nImage=a.bin\n[Serial]\nMemory=flash\n",
       "Memory=flash — память номера для этой страницы: image"},
      {"[Job]\nPage=spi\nImage=a.bin\n[Serial]\nMemory=image\nEncoding=oct\n", "Encoding=oct — "},
      {"[Job]\nPage=spi\nImage=a.bin\n[Serial]\nMemory=image\nWidth=20\n", "Width=20 — ширина"},
      {"[Job]\nPage=spi\nImage=a.bin\n[Serial]\nMemory=image\nStep=0\n", "Step=0 — шаг"},
      {"[Job]\nPage=spi\nImage=a.bin\n[Serial]\nMemory=image\nFirst=-5\n", "First=-5 — нужно неотрицательное"},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    const auto file = dir.Write("bad.job", c.Text);
    try {
      ReadProductionJob(file);
      ADD_FAILURE() << "accepted";
    } catch (const PinwrightError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find("Ошибка в задании " + file.string() + ": " + c.Line), std::string::npos) << what;
    }
  }
  EXPECT_THROW(ReadProductionJob(dir / "missing.job"), PinwrightError);
}

}  // namespace
}  // namespace pw::production
