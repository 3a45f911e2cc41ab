// The PIC operations on a simulated chip, without a window: block counts and progress positions,
// the first mismatch ending an area, data memory written only where the file has data, the
// dump's HEX layout, configuration bits the type lacks, the calibration word an erase keeps, and
// the programming wait of every type.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "frame/Texts.h"
#include "pic/PicOpsBench.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

using test::PicOpsBench;
using Lines = std::vector<std::string>;

/// The positions the step's bar showed, without the empty bar the frame leaves at the end.
std::vector<std::int64_t> Bar(const test::RecordingReporter& reporter) {
  std::vector<std::int64_t> shown;
  for (const auto& [position, max] : reporter.Positions) {
    if (max > 0) shown.push_back(position);
  }
  return shown;
}

TEST(PicOps, ProgramMemoryBlocksProgressAndTheFirstMismatch) {
  struct Case {
    std::int32_t Words;
    std::int32_t StuckWord;  // a word that already holds 0 and cannot be raised without an erase; -1: none
    Lines Log;
    std::vector<std::int64_t> Positions;
    Outcome Result;
  };
  const std::vector<Case> cases = {
      {20, -1, {"запись флеш 20слов", "флеш прошита и проверена ошибок нет"}, {0, 16, 20}, Outcome::Success},
      {16, -1, {"запись флеш 16слов", "флеш прошита и проверена ошибок нет"}, {0, 16}, Outcome::Success},
      {64,
       35,
       {"запись флеш 64слов", "ошибка по адресу: 35", "Ошибка при прошивании",
        texts::PartlyWritten(texts::kPicWriteFlashCaption)},
       {0, 16, 32, 48},
       Outcome::TargetProblem},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Words);
    PicOpsBench b("PIC16F877A");  // Begin Programming Only: a 0 bit stays 0
    b.FillFlash(c.Words);
    if (c.StuckWord >= 0) b.Chip->SetProgramWord(static_cast<std::uint32_t>(c.StuckWord), 0);
    const std::uint16_t blank = b.Chip->ProgramWord(static_cast<std::uint32_t>(c.Words));
    PicOperations ops(b.Unit, b.kBaud, b.Type);
    EXPECT_EQ(b.Run(ops, {ops.WriteProgramMemory(b.Images.Flash())}), c.Result);
    EXPECT_EQ(b.Reporter.Lines, c.Log);
    EXPECT_EQ(Bar(b.Reporter), c.Positions);
    const std::int32_t sent = c.StuckWord >= 0 ? (c.StuckWord / 16 + 1) * 16 : c.Words;
    for (std::int32_t w = 0; w < c.Words; ++w) {
      if (w == c.StuckWord) continue;
      const std::uint16_t expected = w < sent ? b.Images.FlashImage[static_cast<std::size_t>(w)] : blank;
      ASSERT_EQ(b.Chip->ProgramWord(static_cast<std::uint32_t>(w)), expected) << "word " << w;
    }
  }
}

TEST(PicOps, DataMemoryTakesOnlyTheLocationsTheFileHolds) {
  struct Case {
    std::int32_t Locations;
    std::vector<std::int32_t> Gaps;  // locations the file leaves out
    Lines Log;
    std::size_t Repaints;
  };
  const std::vector<Case> cases = {
      {128, {}, {"запись Eeprom 128 байт", "еепром прошита и проверена ошибок нет"}, 17},
      {10, {3, 7}, {"запись Eeprom 10 байт", "еепром прошита и проверена ошибок нет"}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Locations);
    PicOpsBench b("PIC16F628A");
    for (std::uint32_t k = 0; k < 128; ++k) b.Chip->SetDataByte(k, 0x5A);
    b.FillData(c.Locations);
    for (const std::int32_t k : c.Gaps) b.Images.EepromFilled[static_cast<std::size_t>(2 * k)] = false;
    PicOperations ops(b.Unit, b.kBaud, b.Type);
    EXPECT_EQ(b.Run(ops, {ops.WriteDataMemory(b.Images.Eeprom())}), Outcome::Success);
    EXPECT_EQ(b.Reporter.Lines, c.Log);
    EXPECT_EQ(Bar(b.Reporter).size(), c.Repaints);
    for (std::int32_t k = 0; k < 128; ++k) {
      const bool gap = std::find(c.Gaps.begin(), c.Gaps.end(), k) != c.Gaps.end();
      ASSERT_EQ(b.Chip->DataByte(static_cast<std::uint32_t>(k)), k < c.Locations && !gap ? k + 1 : 0x5A) << k;
    }
  }
}

TEST(PicOps, ADumpHoldsProgramConfigurationAndDataRecords) {
  PicOpsBench b("PIC16F84A");
  for (std::uint32_t w = 0; w < 1024; ++w) b.Chip->SetProgramWord(w, static_cast<std::uint16_t>(w & 0x3FFF));
  for (std::uint32_t k = 0; k < 64; ++k) b.Chip->SetDataByte(k, static_cast<std::uint8_t>(k + 0x40));
  test::TempDir dir;
  const auto file = dir / "dump.hex";
  PicOperations ops(b.Unit, b.kBaud, b.Type);
  EXPECT_EQ(b.Run(ops, {ops.ReadDump(file)}), Outcome::Success);
  EXPECT_EQ(b.Reporter.Lines, (Lines{"чтение Флеши", "чтение конфигурации", "чтение Еепром", "файл сохранён"}));
  ASSERT_TRUE(ops.DumpRead().Program && ops.DumpRead().Data && ops.ConfigRead());
  EXPECT_EQ((*ops.DumpRead().Program)[1023], 1023);
  EXPECT_EQ(ops.DumpRead().Data->size(), 64u);
  EXPECT_EQ((*ops.DumpRead().Data)[63], 0x40 + 63);
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

TEST(PicOps, ConfigurationBitsTheTypeLacksAreNamed) {
  PicOpsBench b("PIC16F628A");  // bit 12 is NONE
  PicConfigArea area = PicErasedArea();
  area[kPicConfigWordByte] = 0x21;
  area[kPicConfigWordByte + 1] = 0x2F;  // bit 12 clear
  PicOperations ops(b.Unit, b.kBaud, b.Type);
  EXPECT_EQ(b.Run(ops, {ops.WriteConfig(area)}), Outcome::Success);
  EXPECT_EQ(b.Reporter.Lines,
            (Lines{"запись конфигурации ",
                   "биты конфигурационного слова, которых нет у этого типа (микросхема их не примет): 12",
                   texts::kPicConfigWritten}));
  EXPECT_EQ(b.Chip->ConfigWord(7) & 0x2FFF, 0x2F21);
}

TEST(PicOps, EraseKeepsTheCalibrationWordAndBandGapBitsAndSendsOnlyTheTypesCommands) {
  for (const char* part : {"PIC12F508", "PIC12F509", "PIC12F675"}) {
    SCOPED_TRACE(part);
    PicOpsBench b(part);
    const bool baseline = b.Type.ProgrammType == PicProgramming::Baseline;
    const auto calibration = static_cast<std::uint32_t>(b.Type.Osccal);
    const std::uint16_t word = baseline ? 0xC34 : 0x3434;  // MOVLW 0x34, RETLW 0x34
    b.Chip->SetProgramWord(calibration, word);
    b.Chip->SetProgramWord(5, 0x123);
    PicOperations ops(b.Unit, b.kBaud, b.Type);
    EXPECT_EQ(b.Run(ops, {ops.Erase(PicErasedArea())}), Outcome::Success);
    EXPECT_EQ(b.Reporter.Lines.back(), "флеш и еепром стёрты");
    EXPECT_EQ(b.Chip->ProgramWord(calibration), word);
    EXPECT_EQ(b.Chip->ProgramWord(5), PicWordMask(b.Type.ProgrammType));
    if (baseline) continue;  // the baseline erase sends 11, which they do not know
    EXPECT_EQ(b.Chip->ConfigWord(7) & b.Type.BandGap, sim::SimPic::kFactoryConfigWithBandGap & b.Type.BandGap);
    EXPECT_EQ(b.Chip->Ununderstood(), 0) << "no protection clearing before EraseType 5";
  }
}

// Under datasheet timing with no USB latency to hide a short wait, every type's words and data
// bytes are written within their cycle times (the 16F87xA's program-only cycles in 1 ms); a wait
// of the baud value alone (1.79 ms, what a cycle of 1 ms gives) is too short for a 16F84A, whose
// program cycle takes 4 ms, and for the 16F877A's 10 ms data writes.
TEST(PicOps, WritesWaitEachTypesCycleTimeUnderDatasheetTiming) {
  struct Case {
    const char* Part;
    std::int32_t PicTypeValues::*Cycle;  // null: the type's own waits
    Outcome Result;
  };
  std::vector<Case> cases;
  for (const char* part :
       {"PIC16F84A", "PIC16F627A", "PIC16F628A", "PIC16F648A", "PIC16F873A", "PIC16F874A", "PIC16F876A", "PIC16F877A",
        "PIC12F508", "PIC12F509", "PIC12F675", "PIC16F690", "PIC16F77"}) {
    cases.push_back({part, nullptr, Outcome::Success});
  }
  cases.push_back({"PIC16F84A", &PicTypeValues::EraseProgramMs, Outcome::TargetProblem});
  cases.push_back({"PIC16F877A", &PicTypeValues::DataMs, Outcome::TargetProblem});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Part) + (c.Cycle ? " one cycle of 1 ms" : ""));
    PicOpsBench b(c.Part);
    b.Sim.Timing().Model = sim::TimingModel::Datasheet;
    b.Sim.Timing().Latency = 0;
    if (c.Cycle) b.Type.*c.Cycle = 1;
    b.FillFlash(32, PicWordMask(b.Type.ProgrammType));
    b.FillData(8);
    PicOperations ops(b.Unit, b.kBaud, b.Type);
    std::vector<OperationStep> steps = {ops.WriteProgramMemory(b.Images.Flash())};
    if (b.Type.EepromSize > 0) steps.push_back(ops.WriteDataMemory(b.Images.Eeprom()));
    EXPECT_EQ(b.Run(ops, steps), c.Result);
  }
}

}  // namespace
}  // namespace pw
