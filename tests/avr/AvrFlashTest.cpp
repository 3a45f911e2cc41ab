// "Открыть Flash", "Прочитать Flash" and "Прошить Flash" on the virtual programmer: the HEX file
// a read writes, the pages a write sends, the verify, and chips that stop answering mid-page (the
// faults of every operation in the frame's order: AvrOperationsTest.cpp).

#include <gtest/gtest.h>

#include <fstream>

#include "AvrBench.h"
#include "avr/AvrFlashFile.h"
#include "frame/Texts.h"
#include "hexfile/HexTexts.h"
#include "support/AvrSpiTrace.h"

namespace pw {
namespace {

using test::AvrBench;
using test::Instruction;
using test::TracedInstructions;
using test::WithOpcode;
using Lines = std::vector<std::string>;

std::vector<std::uint16_t> Counting(std::size_t n, std::uint16_t from) {
  std::vector<std::uint16_t> words(n);
  for (std::size_t i = 0; i < n; ++i) words[i] = static_cast<std::uint16_t>(from + i * 0x0101);
  return words;
}

TEST(AvrFlashRead, RecordsOfA32WordPageChipRunFrom0000To1FF0) {
  AvrBench b("ATmega88PA");  // 128 pages of 32 words
  ASSERT_EQ(b.Click(b.Page().AvrRdSign), Outcome::Success);
  b.Core().Flash[0x1FFE] = 0x5A;
  b.Form->Log.Clear();
  ASSERT_EQ(b.ClickWithFile(b.Page().AvrReadFls, b.Dir / "m88.hex"), Outcome::Success);
  EXPECT_EQ(b.Log(), (Lines{"Сохраняем Флеш в файл: " + (b.Dir / "m88.hex").string(), "чтение флеш", "файл сохранён"}));
  EXPECT_EQ(b.Page().AvrPrograss.Max, 127);
  EXPECT_EQ(b.Page().AvrPrograss.Position, 0);
  EXPECT_TRUE(b.Page().AvrReadFls.Enabled);
  EXPECT_FALSE(b.DeviceOpen());
  const auto lines = test::FileLines(b.Dir / "m88.hex");
  ASSERT_EQ(lines.size(), 514u);
  EXPECT_EQ(lines.front(), ":020000020000FC");
  EXPECT_EQ(lines.back(), ":00000001FF");
  EXPECT_EQ(lines[1].substr(0, 9), ":10000000");
  EXPECT_EQ(lines[512], ":101FF000FFFFFFFFFFFFFFFFFFFFFFFFFFFF5AFF96");
}

TEST(AvrFlashRead, A64KWordChipGetsASegmentRecordAtTheSecondBlock) {
  AvrBench b("ATmega1284P");
  b.Core().Flash[0x10000] = 0x11;  // the first byte of block 1
  ASSERT_EQ(b.Click(b.Page().AvrRdSign), Outcome::Success);
  ASSERT_EQ(b.ClickWithFile(b.Page().AvrReadFls, b.Dir / "m1284.hex"), Outcome::Success);
  const auto lines = test::FileLines(b.Dir / "m1284.hex");
  ASSERT_EQ(lines.size(), 8192u + 3);
  EXPECT_EQ(lines[0], ":020000020000FC");
  EXPECT_EQ(lines[4096].substr(0, 9), ":10FFF000");
  EXPECT_EQ(lines[4097], ":020000021000EC");
  EXPECT_EQ(lines[4098].substr(0, 11), ":1000000011");
  EXPECT_EQ(lines[8193].substr(0, 9), ":10FFF000");
  EXPECT_EQ(b.Page().AvrPrograss.Max, 511);
  // Read back through the HEX reader, the file is the chip's flash.
  MemoryImages m;
  LoadAvrFlashFile(b.Dir / "m1284.hex", m);
  EXPECT_EQ(m.FlashDataCount, 65536);
  EXPECT_EQ(m.FlashImage[0x8000], 0xFF11);
}

TEST(AvrFlashRead, CancelledDialogChangesNothing) {
  AvrBench b("ATmega328P");
  b.Click(b.Page().AvrRdSign);
  const auto before = b.Log();
  const auto samples = b.Sim().SamplesClocked();
  EXPECT_EQ(b.ClickWithFile(b.Page().AvrReadFls, std::nullopt), Outcome::Success);
  EXPECT_EQ(b.Log(), before);
  EXPECT_TRUE(b.Page().AvrReadFls.Enabled);
  EXPECT_EQ(b.Sim().SamplesClocked(), samples);
}

TEST(AvrFlashOpen, LabelsShowChipAndFileSizes) {
  AvrBench b("ATmega328P");
  ASSERT_EQ(b.Open(b.Page().AvrLoadFls, test::WriteWordsHex(b.Dir / "1000.hex", Counting(1000, 0))), Outcome::Success);
  EXPECT_EQ(b.Log().back(), "файл.флеши: " + (b.Dir / "1000.hex").string());
  EXPECT_EQ(b.Page().AvrParamFls.Caption, "Объём флеши 32Кбайт\r\nДанных в файле 1 Кбайт\r\n");
  EXPECT_TRUE(b.Page().AvrWriteFls.Enabled);
  ASSERT_EQ(b.ClickWithFile(b.Page().AvrLoadFls, test::WriteWordsHex(b.Dir / "300.hex", Counting(300, 0))),
            Outcome::Success);
  EXPECT_EQ(b.Page().AvrParamFls.Caption, "Объём флеши 32Кбайт\r\nДанных в файле 600 байт\r\n");
  EXPECT_EQ(b.Page().AvrPathFls.Caption, (b.Dir / "300.hex").string());
}

TEST(AvrFlashOpen, AFileThatCannotBeLoadedLeavesTheOpenedOneInPlace) {
  AvrBench b("ATmega328P");
  const auto good = test::WriteWordsHex(b.Dir / "good.hex", Counting(40, 0x1000));
  ASSERT_EQ(b.Open(b.Page().AvrLoadFls, good), Outcome::Success);
  const std::string label = b.Page().AvrParamFls.Caption;
  EXPECT_EQ(b.ClickWithFile(b.Page().AvrLoadFls, b.Dir / "missing.hex"), Outcome::ErrorReport);
  EXPECT_EQ(b.Host.Errors.back(), "Ошибка! Файл не найден!");
  EXPECT_EQ(b.Log().back(), "файл.флеши: " + (b.Dir / "missing.hex").string());
  // The image still holds good.hex, and the page says so.
  EXPECT_EQ(b.Page().AvrPathFls.Caption, good.string());
  EXPECT_EQ(b.Page().AvrParamFls.Caption, label);
  EXPECT_TRUE(b.Page().AvrWriteFls.Enabled);
  EXPECT_EQ(b.Form->Images.FlashDataCount, 40);
  EXPECT_EQ(b.Form->Images.FlashImage[1], 0x1101);
}

/// Per page write in a traced write: the words loaded before it and its address.
struct PageWrite {
  int Loads = 0;
  int Address = 0;
  bool operator==(const PageWrite&) const = default;
};

std::vector<PageWrite> PageWrites(const std::vector<Instruction>& all) {
  std::vector<PageWrite> pages;
  int loads = 0;
  for (const Instruction& i : all) {
    if (i[0] == 0x40) ++loads;
    if (i[0] == 0x4C) {
      pages.push_back({loads, i[1] << 8 | i[2]});
      loads = 0;
    }
  }
  return pages;
}

TEST(AvrFlashWrite, HundredWordsOn32WordPagesGoAsFourPagesAndVerifyFourWholePages) {
  AvrBench b("ATmega88PA");
  const auto words = Counting(100, 0x0102);
  ASSERT_EQ(b.Open(b.Page().AvrLoadFls, test::WriteWordsHex(b.Dir / "100.hex", words)), Outcome::Success);
  b.Form->Log.Clear();
  b.Sim().StartTrace(b.Dir / "write.bin");
  ASSERT_EQ(b.Click(b.Page().AvrWriteFls), Outcome::Success);
  b.Sim().StopTrace();
  EXPECT_EQ(b.Log(), (Lines{"запись во флеш 100 слов", "проверка записи", "Ошибок нет"}));
  const auto traced = TracedInstructions(b.Dir / "write.bin");
  EXPECT_EQ(PageWrites(traced), (std::vector<PageWrite>{{32, 0}, {32, 32}, {32, 64}, {4, 96}}));
  // The verify reads whole pages, also the last one, low and high byte of every word.
  EXPECT_EQ(WithOpcode(traced, 0x20).size(), 128u);
  EXPECT_EQ(WithOpcode(traced, 0x28).size(), 128u);
  for (std::size_t w = 0; w < 100; ++w) EXPECT_EQ(b.FlashWord(w), words[w]) << w;
  EXPECT_EQ(b.FlashWord(100), 0xFFFF);
  EXPECT_EQ(b.Page().AvrPrograss.Max, 100);
  EXPECT_EQ(b.Page().AvrPrograss.Position, 0);
  EXPECT_FALSE(b.DeviceOpen());
}

// Before, an empty file wrote an empty page 0 and ended "Ошибок нет"; a write with nothing loaded did the same.
TEST(AvrFlashWrite, AnEmptyFileIsRefusedAndAWriteWithoutDataTouchesNothing) {
  AvrBench b("ATmega88PA");
  const auto empty = b.Dir.Write("empty.hex", ":00000001FF\r\n");
  EXPECT_EQ(b.Open(b.Page().AvrLoadFls, empty), Outcome::ErrorReport);
  EXPECT_EQ(b.Host.Errors, (Lines{texts::HexNoData(empty.string())}));
  b.Sim().StartTrace(b.Dir / "write.bin");
  EXPECT_EQ(b.Click(b.Page().AvrWriteFls), Outcome::ErrorReport);
  b.Sim().StopTrace();
  EXPECT_TRUE(PageWrites(TracedInstructions(b.Dir / "write.bin")).empty());
  EXPECT_EQ(b.Log().back(), texts::kNothingToWrite);
}

// Before, every page from 0 to the file's last was written, pages the file never touched too.
TEST(AvrFlashWrite, PagesTheFileDoesNotTouchAreNeitherWrittenNorVerified) {
  AvrBench b("ATmega88PA");                                                           // 32-word pages
  std::fill(b.Core().Flash.begin() + 2 * 32, b.Core().Flash.begin() + 2 * 96, 0x00);  // pages 1 and 2 programmed
  // Words 2-3 (page 0) and word 100 (page 3).
  const auto file = b.Dir.Write("sparse.hex", ":04000400AABBCCDDEA\n:0200C800112203\n");
  ASSERT_EQ(b.Open(b.Page().AvrLoadFls, file), Outcome::Success);
  b.Sim().StartTrace(b.Dir / "write.bin");
  EXPECT_EQ(b.Click(b.Page().AvrWriteFls), Outcome::Success);
  b.Sim().StopTrace();
  EXPECT_EQ(b.Log().back(), "Ошибок нет");
  const auto traced = TracedInstructions(b.Dir / "write.bin");
  const auto pages = PageWrites(traced);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].Address, 0);
  EXPECT_EQ(pages[1].Address, 96);
  EXPECT_EQ(b.FlashWord(2), 0xBBAA);
  EXPECT_EQ(b.FlashWord(100), 0x2211);
  EXPECT_EQ(b.FlashWord(32), 0x0000);
  EXPECT_EQ(b.FlashWord(95), 0x0000);
}

TEST(AvrFlashWrite, TheFirstBlockWithMismatchesIsReportedAndEndsTheVerify) {
  // Word 69 (index 5 of page 2) has a low-byte bit stuck at 1; so has word 100, in the same read block.
  AvrBench b("ATmega88PA", "StuckFlash=8A:0:1, C8:0:1\n");
  std::vector<std::uint16_t> words(128, 0x1234);
  ASSERT_EQ(b.Open(b.Page().AvrLoadFls, test::WriteWordsHex(b.Dir / "w.hex", words)), Outcome::Success);
  b.Form->Log.Clear();
  EXPECT_EQ(b.Click(b.Page().AvrWriteFls), Outcome::TargetProblem);
  EXPECT_EQ(b.Log(),
            (Lines{"запись во флеш 128 слов", "проверка записи", "Ошибка: при проверке флеши",
                   "слово 0x0045: ожидалось 1234, прочитано 1235", "слово 0x0064: ожидалось 1234, прочитано 1235"}));
  EXPECT_FALSE(b.DeviceOpen());
}

TEST(AvrFlashWrite, AChipThatStopsAnsweringNeverGetsANoErrorsLine) {
  // Falls silent during the verify: its pages would read as erased, like the image's last words.
  AvrBench b("ATmega88PA", "SilentAfter=900\n");
  std::vector<std::uint16_t> words(64, 0xFFFF);
  words[0] = 0x0000;
  ASSERT_EQ(b.Open(b.Page().AvrLoadFls, test::WriteWordsHex(b.Dir / "w.hex", words)), Outcome::Success);
  b.Form->Log.Clear();
  EXPECT_EQ(b.Click(b.Page().AvrWriteFls), Outcome::TargetProblem);
  EXPECT_EQ(b.Log(), (Lines{"запись во флеш 64 слов", "проверка записи", "Ошибка: чип не отвечает",
                            "Ошибка: при проверке флеши"}));
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

// The look at the chip rides in each page's own batch (a Programming Enable echo after the page
// write): a chip that falls silent during a page is caught before the next page is sent.
TEST(AvrFlashWrite, AChipThatFallsSilentDuringAPageIsCaughtBeforeTheNextPage) {
  // ATmega88PA: identification 36 SPI bytes, then 264 per 32-word page (loads, page write, echo).
  constexpr int kPageBytes = 264;
  struct Case {
    const char* What;
    int SilentAfter;
  };
  const Case cases[] = {
      {"among the third page's loads", 36 + 2 * kPageBytes + 100},
      {"after the third page's write instruction", 36 + 2 * kPageBytes + 260},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    AvrBench b("ATmega88PA", "SilentAfter=" + std::to_string(c.SilentAfter) + "\n");
    ASSERT_EQ(b.Open(b.Page().AvrLoadFls, test::WriteWordsHex(b.Dir / "w.hex", Counting(32 * 6, 1))), Outcome::Success);
    b.Form->Log.Clear();
    b.Sim().StartTrace(b.Dir / "write.bin");
    EXPECT_EQ(b.Click(b.Page().AvrWriteFls), Outcome::TargetProblem);
    b.Sim().StopTrace();
    EXPECT_EQ(b.Log(),
              (Lines{"запись во флеш 192 слов", "Ошибка: чип не отвечает", texts::PartlyWritten("Прошить Flash")}));
    EXPECT_EQ(WithOpcode(TracedInstructions(b.Dir / "write.bin"), 0x4C).size(), 3u);
  }
}

TEST(AvrFlashWrite, PagesOfAnAnsweringChipCostNoExchangeBesideTheirOwn) {
  AvrBench b("ATmega88PA");
  ASSERT_EQ(b.Open(b.Page().AvrLoadFls, test::WriteWordsHex(b.Dir / "w.hex", Counting(32 * 6, 1))), Outcome::Success);
  const auto before = b.Sim().Faults().Calls(sim::SimCall::Write);
  ASSERT_EQ(b.Click(b.Page().AvrWriteFls), Outcome::Success);
  // The open's start pulse (2), identification (2 × 5 + 3 × 4 + 3 × 4 + 4), six pages, the
  // restart (1 + 5) and one verify block.
  EXPECT_EQ(b.Sim().Faults().Calls(sim::SimCall::Write) - before, 2u + 38 + 6 + 6 + 1);
}

}  // namespace
}  // namespace pw
