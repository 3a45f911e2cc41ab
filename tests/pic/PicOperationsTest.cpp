// The PIC page's memory operations on a simulated chip: block counts and progress positions,
// the first mismatch ending an area, data memory written only where the file has data, the
// dump's HEX layout, and files refused before the chip is touched.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "frame/Texts.h"
#include "pic/PicTexts.h"
#include "sim/SimPic.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

using test::FormFixture;
using Lines = std::vector<std::string>;

struct PicOps : ::testing::Test {
  /// extra: further bench sections; picIni: a PIC.ini of the test's own (the project's when empty).
  void Start(const std::string& part, const std::string& extra = "", const std::string& picIni = "") {
    f = std::make_unique<FormFixture>("[PIC]\nPart=" + part + "\n" + extra);
    f->InstallDataFile("PIC.ini");
    if (!picIni.empty()) std::ofstream(f->ProgramDir() / "PIC.ini") << picIni;
    f->Start();
    page = &f->Form->Pic;
    f->Form->ShowPage(1);
    page->PicType.Text = part;
    f->Form->Fire(page->PicType.OnChange);
    chip = dynamic_cast<sim::SimPic*>(f->Bench->Board()->Pic.get());
    ASSERT_NE(chip, nullptr);
  }
  MemoryImages& Images() { return f->Form->Images; }
  /// Fills words 0 .. n - 1 with a pattern of 14-bit values, as a file would.
  void FillFlash(std::int32_t n) {
    for (std::int32_t w = 0; w < n; ++w) {
      Images().FlashImage[static_cast<std::size_t>(w)] = static_cast<std::uint16_t>((w * 37 + 5) & 0x3FFF);
      Images().FlashFilled[static_cast<std::size_t>(w)] = true;
    }
    Images().FlashDataCount = n;
  }
  /// Log lines the click added.
  Lines Click(Button& button) {
    const std::size_t before = f->Form->Log.Lines.size();
    f->Host.Positions.clear();
    f->Form->Fire(button.OnClick);
    return Lines(f->Form->Log.Lines.begin() + static_cast<std::ptrdiff_t>(before), f->Form->Log.Lines.end());
  }
  std::unique_ptr<FormFixture> f;
  PicPage* page = nullptr;
  sim::SimPic* chip = nullptr;
};

TEST_F(PicOps, ProgramMemoryBlocksProgressAndTheFirstMismatch) {
  struct Case {
    std::int32_t Words;
    std::int32_t StuckWord;  // a word that already holds 0 and cannot be raised without an erase; -1: none
    Lines Log;
    std::vector<int> Positions;
    Outcome Result;
  };
  const std::vector<Case> cases = {
      {20, -1, {"запись флеш 20слов", "флеш прошита и проверена ошибок нет"}, {0, 16, 20}, Outcome::Success},
      {16, -1, {"запись флеш 16слов", "флеш прошита и проверена ошибок нет"}, {0, 16}, Outcome::Success},
      {64,
       35,
       {"запись флеш 64слов", "ошибка по адресу: 35", "Ошибка при прошивании"},
       {0, 16, 32, 48},
       Outcome::TargetProblem},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Words);
    Start("PIC16F877A");  // Begin Programming Only: a 0 bit stays 0
    FillFlash(c.Words);
    if (c.StuckWord >= 0) chip->SetProgramWord(static_cast<std::uint32_t>(c.StuckWord), 0);
    const std::uint16_t blank = chip->ProgramWord(static_cast<std::uint32_t>(c.Words));
    EXPECT_EQ(Click(page->PicWriteFls), c.Log);
    EXPECT_EQ(f->Host.Positions, c.Positions);
    EXPECT_EQ(f->Form->LastOutcome(), c.Result);
    const std::int32_t sent = c.StuckWord >= 0 ? (c.StuckWord / 16 + 1) * 16 : c.Words;
    for (std::int32_t w = 0; w < c.Words; ++w) {
      if (w == c.StuckWord) continue;
      const std::uint16_t expected = w < sent ? Images().FlashImage[static_cast<std::size_t>(w)] : blank;
      ASSERT_EQ(chip->ProgramWord(static_cast<std::uint32_t>(w)), expected) << "word " << w;
    }
  }
}

TEST_F(PicOps, DataMemoryTakesOnlyTheLocationsTheFileHolds) {
  struct Case {
    std::int32_t Count;              // EepromDataCount
    std::vector<std::int32_t> Gaps;  // locations the file leaves out
    Lines Log;
    std::size_t Repaints;
    Outcome Result;
  };
  const std::vector<Case> cases = {
      {256, {}, {"запись Eeprom 128 байт", "еепром прошита и проверена ошибок нет"}, 17, Outcome::Success},
      {20, {3, 7}, {"запись Eeprom 10 байт", "еепром прошита и проверена ошибок нет"}, 3, Outcome::Success},
      {300,
       {},
       {"Ошибка: данных в файле для Eeprom 150 байт, а у типа 128 байт; ничего не записано"},
       0,
       Outcome::ErrorReport},
      {0, {}, {texts::kNothingToWrite}, 0, Outcome::ErrorReport},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Count);
    Start("PIC16F628A");
    for (std::uint32_t k = 0; k < 128; ++k) chip->SetDataByte(k, 0x5A);
    for (std::int32_t b = 0; b < c.Count; ++b) {
      Images().EepromImage[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b % 2 == 0 ? b / 2 + 1 : 0);
      Images().EepromFilled[static_cast<std::size_t>(b)] = true;
    }
    for (const std::int32_t k : c.Gaps) Images().EepromFilled[static_cast<std::size_t>(2 * k)] = false;
    Images().EepromDataCount = c.Count;
    EXPECT_EQ(Click(page->PicWriteEep), c.Log);
    EXPECT_EQ(f->Host.Positions.size(), c.Repaints);
    EXPECT_EQ(f->Form->LastOutcome(), c.Result);
    const bool written = c.Result == Outcome::Success;
    for (std::int32_t k = 0; k < 128; ++k) {
      const bool gap = std::find(c.Gaps.begin(), c.Gaps.end(), k) != c.Gaps.end();
      const int expected = written && 2 * k < c.Count && !gap ? k + 1 : 0x5A;
      ASSERT_EQ(chip->DataByte(static_cast<std::uint32_t>(k)), expected) << "location " << k;
    }
  }
}

TEST_F(PicOps, ADumpHoldsProgramConfigurationAndDataRecords) {
  Start("PIC16F84A");
  for (std::uint32_t w = 0; w < 1024; ++w) chip->SetProgramWord(w, static_cast<std::uint16_t>(w & 0x3FFF));
  for (std::uint32_t k = 0; k < 64; ++k) chip->SetDataByte(k, static_cast<std::uint8_t>(k + 0x40));
  const auto file = f->WorkingDir() / "dump.hex";
  f->Host.Files.push_back(file.string());
  EXPECT_EQ(Click(page->PicReadDump), (Lines{"чтение Флеши", "чтение конфигурации", "чтение Еепром", "файл сохранён"}));
  EXPECT_EQ(Images().FlashDataCount, 1024);
  EXPECT_EQ(Images().EepromDataCount, 128);
  EXPECT_EQ(Images().EepromImage[2 * 63], 0x40 + 63);
  std::ifstream in(file, std::ios::binary);
  ASSERT_TRUE(in);
  std::vector<std::string> records;
  for (std::string line; std::getline(in, line);) {
    ASSERT_EQ(line.back(), '\r');
    records.push_back(line.substr(0, 9));  // count, address, type
  }
  ASSERT_EQ(records.size(), 128u + 2 + 8 + 1);
  EXPECT_EQ(records[0], ":10000000");
  EXPECT_EQ(records[127], ":1007F000");
  EXPECT_EQ(records[128], ":0E400000");
  EXPECT_EQ(records[129], ":02400E00");  // 16F84A names bits 0 to 13: two bytes
  for (int i = 0; i < 8; ++i) {
    char expected[16];
    std::snprintf(expected, sizeof expected, ":1042%X000", i);
    EXPECT_EQ(records[static_cast<std::size_t>(130 + i)], expected);
  }
  EXPECT_EQ(records.back(), ":00000001");
}

TEST_F(PicOps, FilesTheTypeCannotTakeAreRefusedBeforeTheChipIsTouched) {
  struct Case {
    std::int32_t FlashCount;
    std::int32_t EepromCount;
    std::string Line;
  };
  const std::vector<Case> cases = {
      {0, 0, texts::kNothingToWrite},
      {2049, 0, "Ошибка: данных в файле для флеши 2049 слов, а у типа 2048 слов; ничего не записано"},
      {16, 258, "Ошибка: данных в файле для Eeprom 129 байт, а у типа 128 байт; ничего не записано"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Line);
    Start("PIC16F628A");
    const std::uint16_t before = chip->ProgramWord(0);
    FillFlash(c.FlashCount);
    Images().EepromDataCount = c.EepromCount;
    EXPECT_EQ(Click(page->PicWriteDump), Lines{c.Line});
    EXPECT_EQ(f->Form->LastOutcome(), Outcome::ErrorReport);
    EXPECT_EQ(chip->ProgramWord(0), before);
  }
}

TEST_F(PicOps, ConfigurationBitsTheTypeLacksAreNamed) {
  Start("PIC16F628A");  // bit 12 is NONE
  Images().ConfigImage[14] = 0x21;
  Images().ConfigImage[15] = 0x2F;  // bit 12 clear
  page->ShowPicConfig();
  EXPECT_EQ(Click(page->PicWriteFuse),
            (Lines{"запись конфигурации ",
                   "биты конфигурационного слова, которых нет у этого типа (микросхема их не примет): 12"}));
  EXPECT_EQ(chip->ConfigWord(7) & 0x2FFF, 0x2F21);
}

TEST(PicDump, ATypeTooLargeForTheDumpLayoutIsRefusedBeforeReading) {
  for (const char* sizes : {"FlashSize=8193\nEeprom=0\n", "FlashSize=64\nEeprom=32000\n"}) {
    SCOPED_TRACE(sizes);
    FormFixture f("[PIC]\nPart=PIC16F628A\n");
    f.Dir.Write("program/PIC.ini", std::string("[Huge]\n") + sizes);
    f.Start();
    f.Form->ShowPage(1);
    f.Host.Files.push_back((f.WorkingDir() / "dump.hex").string());
    f.Form->Fire(f.Form->Pic.PicReadDump.OnClick);
    EXPECT_EQ(f.Form->Log.Lines.back(), texts::kPicTypeTooLarge);
    EXPECT_EQ(f.Form->LastOutcome(), Outcome::ErrorReport);
    EXPECT_FALSE(std::filesystem::exists(f.WorkingDir() / "dump.hex"));
  }
}

TEST_F(PicOps, EraseKeepsTheCalibrationWordOfABaselinePart) {
  for (const char* part : {"PIC12F508", "PIC12F509"}) {
    SCOPED_TRACE(part);
    Start(part);
    const auto calibration = static_cast<std::uint32_t>(page->Osccal);
    chip->SetProgramWord(calibration, 0xC34);
    chip->SetProgramWord(5, 0x123);
    EXPECT_EQ(Click(page->PicEraseAll), Lines{"флеш и еепром стёрты"});
    EXPECT_EQ(f->Form->LastOutcome(), Outcome::Success);
    EXPECT_EQ(chip->ProgramWord(calibration), 0xC34);
    EXPECT_EQ(chip->ProgramWord(5), 0xFFF);
  }
}

// Under datasheet timing with no USB latency to hide a short wait, every type's words and data
// bytes are written within their cycle times; a wait of ProgrammerBaud alone (1.79 ms, what a
// ProgramMs of 1 gives) is too short for a 16F84A, whose program cycle takes 4 ms.
TEST_F(PicOps, WritesWaitEachTypesCycleTimeUnderDatasheetTiming) {
  const std::string timing = "[Timing]\nModel=datasheet\nLatencyUs=0\n";
  std::stringstream project;
  project << std::ifstream(test::BinDir() / "PIC.ini").rdbuf();
  std::string shortWait = project.str();
  shortWait.replace(shortWait.find("ProgramMs=10"), 12, "ProgramMs=1");  // the first type, PIC16F84A
  struct Case {
    std::string Part;
    std::string PicIni;
    Outcome Result;
  };
  std::vector<Case> cases;
  for (const char* part : {"PIC16F84A", "PIC16F627A", "PIC16F628A", "PIC16F648A", "PIC16F873A", "PIC16F874A",
                           "PIC16F876A", "PIC16F877A", "PIC12F508", "PIC12F509"}) {
    cases.push_back({part, "", Outcome::Success});
  }
  cases.push_back({"PIC16F84A", shortWait, Outcome::TargetProblem});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Part + (c.PicIni.empty() ? "" : " with ProgramMs=1"));
    Start(c.Part, timing, c.PicIni);
    FillFlash(32);
    if (c.Part.rfind("PIC12", 0) == 0) {
      for (std::int32_t w = 0; w < 32; ++w) Images().FlashImage[static_cast<std::size_t>(w)] &= 0x0FFF;
    }
    Click(page->PicWriteFls);
    EXPECT_EQ(f->Form->LastOutcome(), c.Result);
    if (page->EepromSize == 0) continue;
    for (std::int32_t b = 0; b < 16; b += 2) {
      Images().EepromImage[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(0xA0 + b);
      Images().EepromFilled[static_cast<std::size_t>(b)] = true;
    }
    Images().EepromDataCount = 16;
    Click(page->PicWriteEep);
    EXPECT_EQ(f->Form->LastOutcome(), c.Result);
  }
}

}  // namespace
}  // namespace pw
