#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/SimSpiFlash.h"
#include "spi/SpiFlashImage.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

using test::FormFixture;
using Bytes = std::vector<std::uint8_t>;

/// The first bytes of a real program file: an image with the variety of a firmware.
Bytes RealImage(std::size_t size) {
  std::ifstream in(PINWRIGHT_CLI, std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), {});
  bytes.resize(size, 0xFF);
  return bytes;
}

bool Has(const std::vector<std::string>& lines, const std::string& part) {
  for (const auto& line : lines) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

struct SpiPage {
  explicit SpiPage(const std::string& part, const std::string& extra = "") : f("[SPI]\nPart=" + part + "\n" + extra) {
    f.InstallDataFile("SpiFlash.ini");
    f.Start();
    f.Form->ShowPage(3);
  }
  sim::SimSpiFlash& Chip() { return static_cast<sim::SimSpiFlash&>(*f.Bench->Board()->Spi); }
  SpiFlashPage& Page() { return f.Form->Spi; }
  Outcome Click(Button& b) {
    f.Form->Fire(b.OnClick);
    return f.Form->LastOutcome();
  }
  Outcome Run(void (SpiFlashPage::*operation)()) {
    f.Form->Fire([&] { (Page().*operation)(); });
    return f.Form->LastOutcome();
  }
  /// Loads a file through the page's file button.
  void Load(const std::string& name, const Bytes& bytes) {
    SaveSpiFlashImage(f.Dir / name, bytes);
    f.Host.Files.push_back((f.Dir / name).string());
    ASSERT_EQ(Click(Page().SpiFlashFile), Outcome::Success);
  }
  std::vector<std::string>& Log() { return f.Form->Log.Lines; }
  FormFixture f;
};

TEST(SpiFlashPage, IdentificationChoosesTheTypeOfEachFamily) {
  const struct {
    const char* part;
    const char* shown;
  } cases[] = {
      {"W25X40", "Микросхема: W25X40, ID EF 30 13, 524288 байт"},
      {"W25Q128", "Микросхема: W25Q128, ID EF 40 18, 16777216 байт"},
      {"MX25L3206E", "Микросхема: MX25L3206E, ID C2 20 16, 4194304 байт"},
      {"GD25Q64", "Микросхема: GD25Q64, ID C8 40 17, 8388608 байт"},
      {"EN25Q32", "Микросхема: EN25Q32, ID 1C 30 16, 4194304 байт"},
      {"S25FL032P", "Микросхема: S25FL032P, ID 01 02 15, 4194304 байт"},
      {"S25FL116K", "Микросхема: S25FL116K, ID 01 40 15, 2097152 байт"},
      {"AT25DF321A", "Микросхема: AT25DF321A, ID 1F 47 01, 4194304 байт"},
      {"AT25SF041", "Микросхема: AT25SF041, ID 1F 84 01, 524288 байт"},
      {"SST25VF016B", "Микросхема: SST25VF016B, ID BF 25 41, 2097152 байт"},
  };
  for (const auto& c : cases) {
    SpiPage t(c.part);
    EXPECT_EQ(t.Run(&SpiFlashPage::SpiFlashIdentify), Outcome::Success) << c.part;
    EXPECT_EQ(t.Log(), std::vector<std::string>{c.shown});
    EXPECT_EQ(t.Page().SpiFlashType.Text, c.part);
    EXPECT_EQ(t.Page().SpiFlashType.Items[static_cast<std::size_t>(t.Page().SpiFlashType.ItemIndex)], c.part);
  }
  // No chip on the header: the lines float high, and that is not taken for a chip.
  FormFixture empty("[Timing]\nModel=lenient\n");
  empty.InstallDataFile("SpiFlash.ini");
  empty.Start();
  empty.Form->Fire([&] { empty.Form->Spi.SpiFlashIdentify(); });
  EXPECT_EQ(empty.Form->LastOutcome(), Outcome::TargetProblem);
  ASSERT_EQ(empty.Form->Log.Lines.size(), 3u);
  EXPECT_EQ(empty.Form->Log.Lines.front(), "Ошибка: микросхема SPI Flash не отвечает (ID FF FF FF)");
}

TEST(SpiFlashPage, ARealImageIsWrittenReadBackAndVerifiedAt1And32Mbit) {
  for (const auto& [part, size] : {std::pair{"W25X10", 128u << 10}, std::pair{"W25Q32", 4u << 20}}) {
    SpiPage t(part);
    const Bytes image = RealImage(size);
    t.Load("image.bin", image);
    EXPECT_TRUE(t.Page().SpiFlashWrite.Enabled);
    ASSERT_EQ(t.Click(t.Page().SpiFlashWrite), Outcome::Success) << part;
    EXPECT_EQ(t.Chip().Memory(), image) << part;
    EXPECT_TRUE(Has(t.Log(), "верификация SPI Flash завершена: совпадает"));
    t.f.Host.Files.push_back((t.f.Dir / "back.hex").string());
    ASSERT_EQ(t.Click(t.Page().SpiFlashRead), Outcome::Success) << part;
    std::string notice;
    const SpiFlashImage back = LoadSpiFlashImage(t.f.Dir / "back.hex", notice);
    EXPECT_EQ(back.Bytes, image) << part;
  }
  // A byte the chip lost shows in a comparison with the file, at its address.
  SpiPage t("W25X10");
  t.Load("image.bin", RealImage(128u << 10));
  t.Chip().Memory() = RealImage(128u << 10);
  t.Chip().Memory()[0x1FFFF] ^= 0x01;
  EXPECT_EQ(t.Run(&SpiFlashPage::SpiFlashVerify), Outcome::TargetProblem);
  EXPECT_TRUE(Has(t.Log(), "байт 0x01FFFF: ожидалось "));
}

TEST(SpiFlashPage, PagesSentWhileTheChipWasStillBusyAreSentAgain) {
  // A type that expects a page program to take 100 µs: the chip's 1.5 ms outlasts every first
  // poll, so each exchange's later pages reach a busy chip, which ignores them.
  test::FormFixture f("[SPI]\nPart=W25X10\n[Timing]\nModel=datasheet\n");
  f.Dir.Write("program/SpiFlash.ini",
              "[W25X10]\nJedec=EF3011\nSize=131072\nPageProgramUs=100,3000\n"
              "SectorEraseMs=150,300\nBlockEraseMs=250,1000\nChipEraseMs=1500,2000\n");
  f.Start();
  const Bytes image = RealImage(8192);
  SaveSpiFlashImage(f.Dir / "image.bin", image);
  f.Host.Files.push_back((f.Dir / "image.bin").string());
  f.Form->Fire(f.Form->Spi.SpiFlashFile.OnClick);
  f.Form->Fire(f.Form->Spi.SpiFlashWrite.OnClick);
  EXPECT_EQ(f.Form->LastOutcome(), Outcome::Success) << f.Form->Log.Lines.back();
  auto& chip = static_cast<sim::SimSpiFlash&>(*f.Bench->Board()->Spi);
  EXPECT_EQ(Bytes(chip.Memory().begin(), chip.Memory().begin() + 8192), image);
  EXPECT_GE(chip.PagePrograms(), 32);
}

TEST(SpiFlashPage, AWriteErasesOnlyTheSectorsThatMustChangeAndKeepsTheirOtherBytes) {
  SpiPage t("W25Q32");
  auto& memory = t.Chip().Memory();
  std::fill(memory.begin(), memory.begin() + 0x4000, 0x00);
  memory[0x0123] = 0x5A;  // in sector 0, outside the file
  // A HEX file with data in sector 0 (a bit must rise), sector 1 (bits only fall), none in 2 and 3.
  t.f.Dir.Write("part.hex", ":0400000001020304F2\r\n:021000000000EE\r\n:00000001FF\r\n");
  t.f.Host.Files.push_back((t.f.Dir / "part.hex").string());
  ASSERT_EQ(t.Click(t.Page().SpiFlashFile), Outcome::Success);
  ASSERT_EQ(t.Click(t.Page().SpiFlashWrite), Outcome::Success);
  EXPECT_EQ(t.Chip().SectorErases(), 1);
  EXPECT_EQ(Bytes(memory.begin(), memory.begin() + 4), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(memory[0x0123], 0x5A);
  EXPECT_EQ(memory[0x0FFF], 0x00);
  EXPECT_TRUE(std::all_of(memory.begin() + 0x1000, memory.begin() + 0x4000, [](std::uint8_t b) { return b == 0; }));
  EXPECT_TRUE(Has(t.Log(), "стёрто: 1, записано страниц: 16,"));
}

TEST(SpiFlashPage, AWriteReadsOnlyWhatItMustToPlanAndToVerify) {
  enum class Chip { Blank, SameImage, OneSectorDiffers, BlankOnlyInItsFirstPage, AnotherImage };
  struct Row {
    const char* What;
    Chip Before;
    /// A cell that always reads 1 where the file has a 0: it fails to program.
    const char* Faults;
    Outcome Result;
    /// Memory bytes the chip sent to Read commands during the write and its verify.
    std::uint64_t BytesRead;
  };
  constexpr std::uint64_t kChipBytes = 128 * 1024;
  constexpr std::uint64_t kChunkBytes = 64 * 1024;
  constexpr std::uint64_t kPage = 256;
  const Row rows[] = {
      {"blank chip: a page of each chunk read to plan, every page read back", Chip::Blank, "", Outcome::Success,
       kChipBytes + 2 * kPage},
      {"same image: nothing changed, nothing read back", Chip::SameImage, "", Outcome::Success, kChipBytes},
      {"one sector to erase: its chunk read back whole", Chip::OneSectorDiffers, "", Outcome::Success,
       kChipBytes + kChunkBytes},
      {"first chunk taken for blank, but not: read back, erased, written, read back again",
       Chip::BlankOnlyInItsFirstPage, "", Outcome::Success, kChipBytes + kChunkBytes + 2 * kPage},
      {"another image: each chunk erased whole unread, then read back", Chip::AnotherImage, "", Outcome::Success,
       kChipBytes + 2 * kPage},
      {"stuck cell in a programmed page: programmed again, then fails the verify", Chip::Blank, "StuckFlash=0010:0:1\n",
       Outcome::TargetProblem, kChipBytes + 3 * kPage},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.What);
    SpiPage t("W25X10", row.Faults);
    Bytes file = RealImage(kChipBytes);
    file[0x10] = 0xFE;
    auto& memory = t.Chip().Memory();
    if (row.Before == Chip::SameImage || row.Before == Chip::OneSectorDiffers) {
      std::copy(file.begin(), file.end(), memory.begin());
    }
    if (row.Before == Chip::OneSectorDiffers) std::fill(memory.begin() + 0x1000, memory.begin() + 0x2000, 0x00);
    if (row.Before == Chip::BlankOnlyInItsFirstPage) std::fill(memory.begin() + kPage, memory.end(), 0x00);
    if (row.Before == Chip::AnotherImage) {
      std::transform(file.begin(), file.end(), memory.begin(), [](std::uint8_t b) { return b ^ 0x5A; });
    }
    t.Load("image.bin", file);
    const std::uint64_t before = t.Chip().BytesRead();
    EXPECT_EQ(t.Click(t.Page().SpiFlashWrite), row.Result);
    EXPECT_EQ(t.Chip().BytesRead() - before, row.BytesRead);
    if (row.Result == Outcome::Success) {
      EXPECT_EQ(memory, file);
    }
  }
}

TEST(SpiFlashPage, AnEraseWiderThanSpiFlashIniSaysFailsTheVerifyNamingTheBytesItLost) {
  // The type says 1 KiB sectors; the W25Q16 erases 4 KiB. With a 64 KiB block, and with a block
  // as small as the sector (where the chip's other bytes lay outside what the write had read).
  for (const std::string erases : {"SectorErase=20:1024\n", "SectorErase=20:1024\nBlockErase=D8:1024\n"}) {
    SCOPED_TRACE(erases);
    test::FormFixture f("[SPI]\nPart=W25Q16\n");
    f.Dir.Write("program/SpiFlash.ini", "[W25Q16]\nJedec=EF4015\nSize=2097152\n" + erases +
                                            "PageProgramUs=700,3000\nSectorEraseMs=45,400\nBlockEraseMs=150,2000\n"
                                            "ChipEraseMs=5000,25000\n");
    f.Start();
    auto& memory = static_cast<sim::SimSpiFlash&>(*f.Bench->Board()->Spi).Memory();
    std::fill(memory.begin(), memory.begin() + 0x4000, 0x00);
    SaveSpiFlashImage(f.Dir / "small.bin", Bytes(1000, 0xA5));
    f.Host.Files.push_back((f.Dir / "small.bin").string());
    f.Form->Fire(f.Form->Spi.SpiFlashFile.OnClick);
    f.Form->Fire(f.Form->Spi.SpiFlashWrite.OnClick);
    EXPECT_EQ(f.Form->LastOutcome(), Outcome::TargetProblem);
    EXPECT_TRUE(Has(f.Form->Log.Lines,
                    "Ошибка: запись изменила 3072 байт вне файла (0x000400-0x000FFF); возможно, "
                    "сектор или блок W25Q16 в SpiFlash.ini меньше настоящего"))
        << f.Form->Log.Lines.back();
    EXPECT_FALSE(Has(f.Form->Log.Lines, "совпадает"));
  }
}

TEST(SpiFlashPage, AChipThatStaysBusyIsReportedAndNotWrittenOver) {
  SpiPage t("W25Q32");
  t.Load("two.bin", Bytes(600, 0x00));
  t.Chip().HangOnNextWrite();
  EXPECT_EQ(t.Click(t.Page().SpiFlashWrite), Outcome::TargetProblem);
  EXPECT_TRUE(
      Has(t.Log(),
          "Ошибка: микросхема занята дольше наибольшего времени по её описанию (адрес 0x000000), запись прервана"));
  EXPECT_TRUE(Has(t.Log(), "Внимание! Запись прервана"));
  EXPECT_EQ(t.Chip().PagePrograms(), 1);
  EXPECT_EQ(t.Chip().Memory()[256], 0xFF);
}

TEST(SpiFlashPage, TheChipIsErasedOnlyAfterAYes) {
  SpiPage t("W25X10");
  std::fill(t.Chip().Memory().begin(), t.Chip().Memory().end(), 0x00);
  t.f.Host.Answers = {false};
  t.Click(t.Page().SpiFlashErase);
  EXPECT_EQ(t.Chip().Memory()[0], 0x00);
  t.f.Host.Answers = {true};
  EXPECT_EQ(t.Click(t.Page().SpiFlashErase), Outcome::Success);
  EXPECT_TRUE(
      std::all_of(t.Chip().Memory().begin(), t.Chip().Memory().end(), [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_TRUE(Has(t.Log(), "стирание SPI Flash завершено"));
}

}  // namespace
}  // namespace pw
