// Every family's write from a HEX file with a wrong checksum: the load warns, the write asks.
// The window's No and the command line without --yes leave the chip as it was; --yes writes.

#include <gtest/gtest.h>

#include "frame/Texts.h"
#include "pic/PicTexts.h"
#include "sim/SimPic.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

struct Write {
  const char* Bench;
  std::vector<std::string> Args;  // the file is damaged.hex
  const char* Hex;                // one record, checksum 00 (wrong)
};

const Write kWrites[] = {
    {"[AVR]\nPart=ATmega328P\nFlash=chip.bin\n", {"avr", "write-flash"}, ":02000000FFCF00\n"},
    {"[AVR]\nPart=ATmega328P\nEeprom=chip.bin\n", {"avr", "write-eeprom"}, ":010000005500\n"},
    {"[PIC]\nPart=PIC16F628A\nMemory=chip.bin\n", {"pic", "PIC16F628A", "write-flash"}, ":02000000042800\n"},
    {"[PIC]\nPart=PIC16F628A\nMemory=chip.bin\n", {"pic", "PIC16F628A", "write-eeprom"}, ":02420000550000\n"},
    {"[PIC]\nPart=PIC16F628A\nMemory=chip.bin\n", {"pic", "PIC16F628A", "write-dump"}, ":02000000042800\n"},
    {"[I2C]\nPart=24C02\nMemory=chip.bin\n", {"i2c", "24C02", "write"}, ":010000005500\n"},
    {"[SPI]\nPart=W25Q32\nMemory=chip.bin\n", {"spi", "write"}, ":010000005500\n"},
};

TEST(DamagedFile, EveryWriteFromItAsksAndOnlyAYesWrites) {
  for (const Write& w : kWrites) {
    SCOPED_TRACE(w.Args.back());
    test::TempDir dir;
    dir.Write("bench.ini", w.Bench);
    dir.Write("damaged.hex", w.Hex);
    std::vector<std::string> args = {"--simulator=" + (dir / "bench.ini").string()};
    args.insert(args.end(), w.Args.begin(), w.Args.end());
    args.push_back("damaged.hex");
    // The bench saves the chip's memory only when a run changed it.
    auto r = test::RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, 1) << r.Out << r.Err;
    EXPECT_NE(r.Out.find(texts::kDamagedFileNotWritten), std::string::npos) << r.Out;
    EXPECT_FALSE(std::filesystem::exists(dir / "chip.bin"));
    args.insert(args.begin(), "--yes");
    r = test::RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_TRUE(std::filesystem::exists(dir / "chip.bin"));
  }
}

TEST(DamagedFile, TheWindowWritesOnlyAfterAYes) {
  test::FormFixture f("[PIC]\nPart=PIC16F628A\n");
  f.InstallDataFile("PIC.ini");
  f.Start();
  auto& page = f.Form->Pic;
  f.Form->ShowPage(1);
  page.PicType.Text = "PIC16F628A";
  f.Form->Fire(page.PicType.OnChange);
  f.Host.Files.push_back(f.Dir.Write("damaged.hex", ":02000000042800\n").string());
  f.Form->Fire(page.PicFile.OnClick);
  const auto& chip = static_cast<const sim::SimPic&>(*f.Bench->Board()->Pic);
  const std::uint16_t blank = chip.ProgramWord(0);
  for (const bool yes : {false, true}) {
    f.Host.Answers.push_back(yes);
    f.Form->Fire(page.PicWriteFls.OnClick);
    EXPECT_EQ(f.Host.Questions.back(), std::string(texts::kDamagedFileTitle) + ": " + texts::kDamagedFileQuestion);
    EXPECT_EQ(chip.ProgramWord(0), yes ? 0x2804 : blank) << yes;
  }
  EXPECT_EQ(f.Form->Log.Lines.back(), texts::kPicFlashWritten);
}

}  // namespace
}  // namespace pw
