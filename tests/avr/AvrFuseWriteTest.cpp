// "Прошить фъюзы": the bytes the panel stands for, the question, the write and its read-back.

#include <gtest/gtest.h>

#include "AvrBench.h"
#include "support/AvrSpiTrace.h"

namespace pw {
namespace {

using test::AvrBench;
using Lines = std::vector<std::string>;

/// Ticks the boxes of byte (0 low, 1 high, 2 extended) as value says, enabled or not.
void TickByte(AvrPage& page, int byte, std::uint8_t value) {
  for (int k = 0; k < 8; ++k) page.AvrFuse[static_cast<std::size_t>(8 * byte + k)].Checked = ((value >> k) & 1) != 0;
}

void SelectLock(AvrPage& page, int lock1, int lock2, int lock3) {
  page.AvrLock1.Select(lock1);
  page.AvrLock2.Select(lock2);
  page.AvrLock3.Select(lock3);
}

/// Clicks "Прошить фьюзы" on a cleared log and answers its question Yes; returns how it ended.
Outcome WriteFusesAnsweringYes(AvrBench& b) {
  b.Form->Log.Clear();
  b.Host.Answers.push_back(true);
  return b.Click(b.Page().AvrWriteFuses);
}

TEST(AvrFusePanelBytes, EveryFuseBitIsWrittenAsItsBoxShows) {
  AvrBench b("ATmega328P");
  AvrPage& p = b.Page();
  for (int byte = 0; byte < 3; ++byte) TickByte(p, byte, 0x00);
  SelectLock(p, 0, 0, 0);
  p.TakeBytesFromPanel();
  // Bits 7 and 6 of the lock byte are no lock bits: they keep the 1 they read.
  EXPECT_EQ((std::array<int, 4>{p.FuseLow, p.FuseHigh, p.FuseExt, p.LockByte}),
            (std::array<int, 4>{0x00, 0x00, 0x00, 0xFF}));
  for (int byte = 0; byte < 3; ++byte) TickByte(p, byte, 0xFF);
  p.TakeBytesFromPanel();
  EXPECT_EQ((std::array<int, 3>{p.FuseLow, p.FuseHigh, p.FuseExt}), (std::array<int, 3>{0xFF, 0xFF, 0xFF}));
  TickByte(p, 0, 0x3F);
  TickByte(p, 1, 0x15);
  p.TakeBytesFromPanel();
  EXPECT_EQ(p.FuseLow, 0x3F);
  EXPECT_EQ(p.FuseHigh, 0x15);
}

TEST(AvrFusePanelBytes, LockCombosGiveTheLockFields) {
  AvrBench b("ATmega328P");
  AvrPage& p = b.Page();
  SelectLock(p, 1, 3, 2);
  p.TakeBytesFromPanel();
  EXPECT_EQ(p.LockByte, 0xE4);  // 0xC0 | 0x04 | 0x20
  SelectLock(p, 3, 1, 1);
  p.TakeBytesFromPanel();
  EXPECT_EQ(p.LockByte, 0xDA);  // 0xC2 | 0x08 | 0x10
  // Without a lock mode chosen the byte keeps its value; the boot-lock fields are added to it.
  p.LockByte = 0x03;
  SelectLock(p, 2, 0, -1);
  p.TakeBytesFromPanel();
  EXPECT_EQ(p.LockByte, 0x0F);
}

TEST(AvrFuseWrite, AnsweringNoTouchesNeitherTheBytesNorTheChip) {
  AvrBench b("ATmega328P");
  b.Click(b.Page().AvrRdSign);
  const auto log = b.Log();
  TickByte(b.Page(), 0, 0x22);
  b.Sim().StartTrace(b.Dir / "asked.bin");
  EXPECT_EQ(b.Click(b.Page().AvrWriteFuses), Outcome::Success);
  b.Sim().StopTrace();
  EXPECT_EQ(b.Host.Questions, (Lines{"Прошить фьюзы и защиту: Точно??"}));
  EXPECT_EQ(b.Log(), log);
  EXPECT_EQ(b.Page().FuseLow, 0x62);
  // The question comes after the identification; no write instruction (AC other than
  // Programming Enable) follows the No.
  for (const test::Instruction& i : test::WithOpcode(test::TracedInstructions(b.Dir / "asked.bin"), 0xAC))
    EXPECT_EQ(i[1], 0x53);
  EXPECT_EQ(b.Core().ReadFuse(0, {}), 0x62);
}

TEST(AvrFuseWrite, TheChipHoldsWhatWasWrittenAlsoUnderDatasheetTiming) {
  AvrBench b("ATmega328P", "[Timing]\nModel=datasheet\n");
  b.Click(b.Page().AvrRdSign);
  AvrPage& p = b.Page();
  TickByte(p, 0, 0xE2);
  TickByte(p, 1, 0xD1);
  TickByte(p, 2, 0xFD);
  SelectLock(p, 1, 0, 2);
  EXPECT_EQ(WriteFusesAnsweringYes(b), Outcome::Success);
  EXPECT_EQ(b.Log(), (Lines{"конфигурация E2D1FD", "байт защиты EC", "младший фьюз: записано E2, в чипе E2",
                            "старший фьюз: записано D1, в чипе D1", "расширенный фьюз: записано FD, в чипе FD",
                            "байт защиты: записано EC, в чипе EC", "конфигурация и защита прошиты"}));
  EXPECT_FALSE(b.DeviceOpen());
  EXPECT_EQ(b.Click(p.AvrReadFuses), Outcome::Success);
  EXPECT_EQ((std::array<int, 4>{p.FuseLow, p.FuseHigh, p.FuseExt, p.LockByte}),
            (std::array<int, 4>{0xE2, 0xD1, 0xFD, 0xEC}));
}

TEST(AvrFuseWrite, OnlyTheFuseBytesAndLockBitsTheChipHasAreWrittenAndCompared) {
  // ATtiny13A: LockBits=03 and an extended fuse without names; then a section of the test's own
  // naming low fuse bits only (the rest: NONE), so that the high fuse does not exist either.
  const std::string project = test::ReadText(test::SourceDir() / "data/chips.ini");
  const std::string lowOnly =
      "[0x1E 0x90 0x07]\nChip=ATtiny13A\nFlashPageSize=16\nFlashPagesCount=32\nLockBits=03\nFusesNames[0]=CKSEL0\n"
      "FusesNames[1]=CKSEL1\nFusesNames[4]=CKDIV8\nFusesNames[7]=SPIEN\n";
  const std::string high = "старший фьюз: записано FF, в чипе FF";
  const std::pair<std::string, bool> cases[] = {{project, true}, {lowOnly, false}};
  for (const auto& [chipsIni, hasHigh] : cases) {
    SCOPED_TRACE(hasHigh ? "project's chips.ini" : "low fuse only");
    AvrBench b("ATtiny13A", test::ChipsIni{chipsIni});
    b.Click(b.Page().AvrRdSign);
    SelectLock(b.Page(), 2, 2, 0);  // boot locks 0, as a chip without them cannot show; no lock mode
    b.Sim().StartTrace(b.Dir / "fuses.bin");
    EXPECT_EQ(WriteFusesAnsweringYes(b), Outcome::Success);
    b.Sim().StopTrace();
    Lines log{"конфигурация 6AFFFF",
              "байт защиты FF",
              "младший фьюз: записано 6A, в чипе 6A",
              high,
              "байт защиты: записано FF, в чипе FF",
              "конфигурация и защита прошиты"};
    std::vector<std::pair<int, int>> expected{{0xA0, 0x6A}, {0xA8, 0xFF}, {0xE0, 0xFF}};  // AC xx, value
    if (!hasHigh) {
      log.erase(log.begin() + 3);
      expected.erase(expected.begin() + 1);
    }
    EXPECT_EQ(b.Log(), log);
    std::vector<std::pair<int, int>> writes;
    for (const test::Instruction& i : test::WithOpcode(test::TracedInstructions(b.Dir / "fuses.bin"), 0xAC)) {
      if (i[1] != 0x53) writes.emplace_back(i[1], i[3]);
    }
    EXPECT_EQ(writes, expected);
  }
}

TEST(AvrFuseWrite, ReadingAFuseBackAndWritingItUnchangedLeavesItUnchanged) {
  // Low fuse 3F selects a crystal (the board carries one) with CKOUT and CKDIV8 programmed.
  AvrBench b("ATmega328P", "Fuses=3F D9 FF\nClock=16000000\n");
  b.Click(b.Page().AvrRdSign);
  EXPECT_EQ(b.Page().FuseLow, 0x3F);
  EXPECT_EQ(WriteFusesAnsweringYes(b), Outcome::Success);
  EXPECT_EQ(b.Log().front(), "конфигурация 3FD9FF");
  EXPECT_EQ(b.Core().ReadFuse(0, {}), 0x3F);
}

TEST(AvrFuseWrite, AChipThatKeepsOtherValuesGivesErrorLinesInsteadOfSuccess) {
  // Lock mode 2: fuse writes are refused, and lock bits can only be programmed, never cleared.
  AvrBench b("ATmega328P", "Lock=FE\n");
  b.Click(b.Page().AvrRdSign);
  AvrPage& p = b.Page();
  TickByte(p, 0, 0xE2);
  SelectLock(p, 0, 0, 0);
  EXPECT_EQ(WriteFusesAnsweringYes(b), Outcome::TargetProblem);
  EXPECT_EQ(b.Log(),
            (Lines{"конфигурация E2D9FF", "байт защиты FF", "Ошибка: младший фьюз: записано E2, в чипе 62",
                   "старший фьюз: записано D9, в чипе D9", "расширенный фьюз: записано FF, в чипе FF",
                   "Ошибка: байт защиты: записано FF, в чипе FE", "Ошибка: конфигурация не прошита, в чипе 62D9FF",
                   "Ошибка: байт защиты не прошит, в чипе FE"}));
  // The panel keeps the person's choice; the bytes hold what was written.
  EXPECT_EQ(p.FuseLow, 0xE2);
  EXPECT_EQ(p.AvrLock3.ItemIndex, 0);
}

TEST(AvrFuseWrite, BitsThatDoNotExistAreNotCompared) {
  // The ATtiny85 has no boot-lock bits and only SELFPRGEN in its extended fuse: both read 1.
  AvrBench b("ATtiny85");
  b.Click(b.Page().AvrRdSign);
  AvrPage& p = b.Page();
  TickByte(p, 2, 0x00);  // a person could not untick the disabled ones; the model can
  SelectLock(p, 1, 3, 0);
  b.Host.Answers.push_back(true);
  EXPECT_EQ(b.Click(p.AvrWriteFuses), Outcome::Success);
  EXPECT_EQ(b.Log().back(), "конфигурация и защита прошиты");
  EXPECT_EQ(b.Core().ReadFuse(2, {}), 0xFE);
  EXPECT_EQ(b.Core().ReadLock({}), 0xFF);
}

TEST(AvrFuseWrite, ASilentChipIsNotWritten) {
  // Silent once the write's own identification (36 bytes, as the first click's) is done.
  AvrBench b("ATmega328P", "SilentAfter=73\n");
  b.Click(b.Page().AvrRdSign);
  EXPECT_EQ(WriteFusesAnsweringYes(b), Outcome::TargetProblem);
  EXPECT_EQ(b.Log(), (Lines{"конфигурация 62D9FF", "байт защиты FF", "Ошибка: чип не отвечает"}));
  EXPECT_EQ(b.Core().ReadFuse(0, {}), 0x62);
  EXPECT_FALSE(b.DeviceOpen());
}

}  // namespace
}  // namespace pw
