// The simulated PICs answering the ICSP layer: every type of PIC.ini entered, written and read
// word by word; sequences the real chips would not take fail here too.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "ini/IniFile.h"
#include "link/ProgrammerConnection.h"
#include "pic/PicTypes.h"
#include "pic/PicUtils.h"
#include "sim/Bench.h"
#include "sim/SimFt232r.h"
#include "sim/SimPic.h"
#include "support/TestDirs.h"

namespace pw::sim {
namespace {

constexpr std::int32_t kBaud = 19200;

struct PicBench {
  explicit PicBench(const std::string& part, TimingModel timing = TimingModel::Lenient) {
    SimBoard& board = sim.AddProgrammer({});
    board.Pic = std::make_unique<SimPic>(*FindSimPicPart(part));
    chip = static_cast<SimPic*>(board.Pic.get());
    sim.Timing().Model = timing;
    OpenProgrammer(unit, kModePic, kBaud);
  }
  /// Entry as the page does it, with the baseline parts' extra step past the configuration word.
  void Enter(PicProgramming programming) {
    pic.PicEnterProgramming(PicEntry::MclrPulse);
    if (programming == PicProgramming::Baseline) Steps(1);
  }
  void Steps(int n) {
    for (int i = 0; i < n; ++i) pic.PicPutCommand(6);
    pic.PicFlush();
  }
  std::int32_t Write(PicProgramming programming, std::uint16_t start, std::uint16_t count,
                     const std::vector<std::uint16_t>& image, std::int32_t wait = kBaud) {
    std::int32_t result = 0;
    if (PicWritesLatches(programming)) {
      // No read back in the latch write: the caller compares.
      pic.PicProgramLatched(start, count, image, latch, PicLatchEndCommand(programming), wait);
      return NoError;
    }
    pic.ProgramWords(programming, start, count, image, wait, result);
    return result;
  }
  std::vector<std::uint16_t> Read(std::uint16_t n) {
    std::vector<std::uint16_t> words(n);
    pic.PicReadProgramWords(n, words);
    return words;
  }

  SimFt232r sim;
  D2XXUnit unit{sim};
  PICUtils pic{unit};
  SimPic* chip = nullptr;
  /// Words a latch write loads per programming cycle.
  std::int32_t latch = 1;
};

std::vector<std::uint16_t> Pattern(std::size_t n, std::uint16_t mask) {
  std::vector<std::uint16_t> words(n);
  for (std::size_t i = 0; i < n; ++i) words[i] = static_cast<std::uint16_t>((0x1A5 * i + 0x2C3) & mask);
  return words;
}

TEST(SimPicTest, EveryTypeOfPicIniIsEnteredWrittenAndReadWordByWord) {
  const IniFile types = IniFile::Load(test::BinDir() / "PIC.ini");
  // The PIC18 parts speak another protocol (tests/e2e/Pic18FamiliesTest.cpp).
  const auto sections = types.SectionNames();
  ASSERT_EQ(std::count_if(sections.begin(), sections.end(),
                          [&](const std::string& t) { return !ReadPicType(types, t).Pic18(); }),
            37);
  for (const std::string& type : sections) {
    SCOPED_TRACE(type);
    const PicTypeValues values = ReadPicType(types, type);
    if (values.Pic18()) continue;
    PicBench b(type);
    b.latch = values.WriteLatch;
    const PicProgramming pt = values.ProgrammType;
    const bool baseline = pt == PicProgramming::Baseline;
    const auto eeprom = static_cast<std::uint16_t>(values.EepromSize);
    const std::uint16_t mask = baseline ? 0x0FFF : 0x3FFF;
    const auto image = Pattern(24, mask);
    b.Enter(pt);
    EXPECT_EQ(b.Write(pt, 0, 16, image), NoError);
    EXPECT_EQ(b.Write(pt, 16, 8, image), NoError);
    b.Enter(pt);
    EXPECT_EQ(b.Read(24), image);

    if (eeprom > 0) {
      std::vector<std::uint8_t> bytes(16);
      for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(0x30 + i);
      b.Enter(pt);
      std::int32_t result = 0;
      b.pic.PicProgramDataBytes(0, 16, bytes, kBaud, result);
      EXPECT_EQ(result, NoError);
      std::vector<std::uint8_t> back(8);
      b.Enter(pt);
      b.pic.PicReadDataBytes(8, back);
      EXPECT_EQ(back, (std::vector<std::uint8_t>{0x30, 0x32, 0x34, 0x36, 0x38, 0x3A, 0x3C, 0x3E}));
    }

    // The configuration word (protection bits kept 1) and, on mid-range parts, the device ID.
    // Asked with the factory's band-gap bits as they are: the program-only families only clear bits.
    const auto config = static_cast<std::uint16_t>((baseline ? 0x0FFA : 0x3FF2) & b.chip->ConfigWord(7));
    std::int32_t flag = 0;
    b.pic.PicEnterProgramming(PicEntry::MclrPulse);
    if (baseline) {
      b.pic.PicProgramOneWord(config, flag, 0x0FFF, pt, 0, kBaud);
    } else {
      b.pic.PicProgramOneWord(0x1234, flag, 0x3FFF, pt, 0, kBaud);  // ID word 0x2000
      b.Steps(6);
      b.pic.PicProgramOneWord(config, flag, 0x3FFF, pt, 2, kBaud);
    }
    EXPECT_EQ(flag, 0);
    std::vector<std::uint8_t> area(18);
    b.pic.PicEnterProgramming(PicEntry::MclrPulse);
    if (baseline) {
      b.pic.PicReadBaselineConfig(static_cast<std::uint16_t>(values.FlashSize), area);
      EXPECT_EQ(area[14] | (area[15] << 8), (config & 0x1F) | 0x0FE0);
    } else {
      b.pic.PicReadConfigWords(area);
      EXPECT_EQ((area[0] | (area[1] << 8)) & 0x3FFF, 0x1234);
      EXPECT_EQ((area[12] | (area[13] << 8)) & 0x3FE0, b.chip->Part().DeviceId & 0x3FE0);
      EXPECT_EQ(values.DeviceId, b.chip->Part().DeviceId & 0x3FE0) << "PIC.ini and the datasheet disagree";
      const std::uint16_t bits = ConfigBits(b.chip->Part().Family);
      EXPECT_EQ((area[14] | (area[15] << 8)) & 0x3FFF, (config & bits) | (~bits & 0x3FFF));
    }
    EXPECT_EQ(b.chip->Ununderstood(), 0);
  }
}

TEST(SimPicTest, SequencesTheChipsDoNotTakeFailAsOnTheRealChips) {
  struct Case {
    const char* Name;
    const char* Part;
    TimingModel Timing;
    std::function<bool(PicBench&)> Fails;
  };
  const std::vector<Case> cases = {
      {"16F628A has no Begin Programming Only", "PIC16F628A", TimingModel::Lenient,
       [](PicBench& b) {
         b.Enter(PicProgramming::ProgramOnly);
         return b.Write(PicProgramming::ProgramOnly, 0, 4, Pattern(4, 0x3FFF)) == 0 && b.chip->Ununderstood() > 0;
       }},
      {"a programming wait shorter than the 16F628A's 4 ms", "PIC16F628A", TimingModel::Datasheet,
       [](PicBench& b) {
         b.Enter(PicProgramming::EraseProgram);
         const bool shortFails = b.Write(PicProgramming::EraseProgram, 0, 4, Pattern(4, 0x3FFF)) != NoError;
         b.Enter(PicProgramming::EraseProgram);  // 3 × 548 samples at 16 × 19200 per second: 5.4 ms
         return shortFails && b.Write(PicProgramming::EraseProgram, 0, 4, Pattern(4, 0x3FFF), 3 * kBaud) == NoError;
       }},
      {"12F508 has no Load Configuration", "PIC12F508", TimingModel::Lenient,
       [](PicBench& b) {
         b.pic.PicEnterProgramming(PicEntry::MclrPulse);
         b.pic.PicPutCommand(0);
         b.pic.PicPutDataWord(0x0FF0);
         b.pic.PicPutCommand(8);
         b.pic.PicPutDelay(200000);
         b.pic.PicPutCommand(14);
         b.pic.PicFlush();
         return b.chip->ConfigWord(7) == 0xFFFF && b.chip->Ununderstood() > 0;
       }},
      {"Begin Erase/Programming on the 16F877A's latch erases the block's other words", "PIC16F877A",
       TimingModel::Lenient,
       [](PicBench& b) {
         b.Enter(PicProgramming::EraseProgram);
         const auto image = Pattern(8, 0x3FFF);
         const bool passed = b.Write(PicProgramming::EraseProgram, 0, 8, image) == NoError;
         b.Enter(PicProgramming::EraseProgram);
         return passed && b.Read(8)[0] == 0x3FFF && b.Read(1)[0] != image[0];
       }},
      {"the 12F629 family has no Chip Erase, the 16F7x no data memory", "PIC12F629", TimingModel::Lenient,
       [](PicBench& b) {
         b.chip->SetProgramWord(0, 0x0123);
         b.pic.PicEnterProgramming(PicEntry::MclrPulse);
         b.pic.PicEraseChip(PicErase::Chip);
         PicBench f7x("PIC16F77");
         f7x.pic.PicEnterProgramming(PicEntry::MclrPulse);
         std::vector<std::uint8_t> byte(1);
         f7x.pic.PicReadDataBytes(1, byte);
         return b.chip->ProgramWord(0) == 0x0123 && b.chip->Ununderstood() > 0 && f7x.chip->Ununderstood() > 0;
       }},
      {"the 16F684 programs only: a word written over another keeps the bits both clear", "PIC16F684",
       TimingModel::Lenient,
       [](PicBench& b) {
         b.Enter(PicProgramming::EraseProgram);
         const bool first = b.Write(PicProgramming::EraseProgram, 0, 2, {0x3F0F, 0x1234}) == NoError;
         b.Enter(PicProgramming::EraseProgram);
         return first && b.Write(PicProgramming::EraseProgram, 0, 1, {0x30FF}) == 0 &&
                b.chip->ProgramWord(0) == 0x300F && b.chip->ProgramWord(1) == 0x1234;
       }},
      {"a 16F77 cycle ended with 14 before its 1 ms writes nothing", "PIC16F77", TimingModel::Datasheet,
       [](PicBench& b) {
         b.Enter(PicProgramming::ExternallyTimed);
         const bool shortFails = b.Write(PicProgramming::ExternallyTimed, 0, 1, {0x0555}, 100) != NoError;
         b.Enter(PicProgramming::ExternallyTimed);
         return shortFails && b.Write(PicProgramming::ExternallyTimed, 0, 1, {0x0555}, kBaud) == NoError;
       }},
      {"a 16F88 latch cycle ended before its 1 ms writes nothing", "PIC16F88", TimingModel::Datasheet,
       [](PicBench& b) {
         b.Enter(PicProgramming::LatchedProgramOnly);
         b.latch = 4;
         b.Write(PicProgramming::LatchedProgramOnly, 0, 4, Pattern(4, 0x3FFF), 0);
         b.Enter(PicProgramming::LatchedProgramOnly);
         return b.Read(4) == std::vector<std::uint16_t>(4, 0x3FFF);
       }},
      {"eight words loaded into the 16F88's four-word latch program only the block the counter stands in", "PIC16F88",
       TimingModel::Lenient,
       [](PicBench& b) {
         b.Enter(PicProgramming::LatchedProgramOnly);
         b.latch = 8;
         b.Write(PicProgramming::LatchedProgramOnly, 0, 8, Pattern(8, 0x3FFF));
         b.Enter(PicProgramming::LatchedProgramOnly);
         return b.Read(8) != Pattern(8, 0x3FFF);
       }},
      {"the 16F886's externally timed cycle takes no configuration word", "PIC16F886", TimingModel::Lenient,
       [](PicBench& b) {
         b.pic.PicEnterProgramming(PicEntry::MclrPulse);
         b.pic.PicPutCommand(0);
         b.pic.PicPutDataWord(0x3F00);
         b.Steps(7);
         for (int cmd : {24, 10}) b.pic.PicPutCommand(cmd);
         b.pic.PicFlush();
         return b.chip->ConfigWord(7) == 0xFFFF;
       }},
      {"a code-protected 16F628A reads zeros and takes no writes", "PIC16F628A", TimingModel::Lenient,
       [](PicBench& b) {
         b.chip->SetProgramWord(5, 0x0123);
         b.chip->SetConfigWord(7, 0x1FFF);  // CP = 0
         b.Enter(PicProgramming::EraseProgram);
         const bool zeros = b.Read(8) == std::vector<std::uint16_t>(8, 0);
         b.Enter(PicProgramming::EraseProgram);
         return zeros && b.Write(PicProgramming::EraseProgram, 0, 1, {0x0555}) == 0 && b.chip->ProgramWord(0) == 0xFFFF;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    PicBench b(c.Part, c.Timing);
    EXPECT_TRUE(c.Fails(b));
  }
}

TEST(SimPicTest, ErasesLiftProtectionAndTheBaselineCalibrationIsKept) {
  {  // 16F84A: the maker's protection-clearing sequence.
    PicBench b("PIC16F84A");
    b.chip->SetProgramWord(3, 0x0123);
    b.chip->SetConfigWord(7, 0x000F);
    b.pic.PicEnterProgramming(PicEntry::MclrPulse);
    b.pic.PicPutCommand(0);
    b.pic.PicPutDataWord(0x3FFF);
    for (int i = 0; i < 7; ++i) b.pic.PicPutCommand(6);
    for (int cmd : {1, 7, 8}) b.pic.PicPutCommand(cmd);
    b.pic.PicPutDelay(20000);
    for (int cmd : {1, 7}) b.pic.PicPutCommand(cmd);
    b.pic.PicFlush();
    EXPECT_EQ(b.chip->ConfigWord(7), 0x3FFF);
    EXPECT_EQ(b.chip->ProgramWord(3), 0x3FFF);
  }
  {  // 16F628A: a bulk erase from the configuration area takes the protection with it.
    PicBench b("PIC16F628A");
    b.chip->SetConfigWord(7, 0x1EFF);
    b.pic.PicEnterProgramming(PicEntry::MclrPulse);
    std::vector<std::uint8_t> area(18);
    b.pic.PicReadConfigWords(area);  // leaves the counter in the configuration area
    b.pic.PicEraseChip(PicErase::Bulk);
    EXPECT_EQ(b.chip->ConfigWord(7), 0x3FFF);
  }
  {  // 12F508: the bulk erase takes the calibration word; read before, written back after.
    PicBench b("PIC12F508");
    const std::uint16_t osccal = b.pic.PicReadCalibration(PicEntry::MclrPulse, PicProgramming::Baseline, 0x1FF);
    EXPECT_EQ(osccal, SimPic::kFactoryOsccal);
    b.pic.PicEnterProgramming(PicEntry::MclrPulse);
    b.pic.PicEraseChip(PicErase::Bulk);
    EXPECT_EQ(b.chip->ProgramWord(0x1FF), 0x0FFF);
    EXPECT_EQ(b.chip->ProgramWord(0x204), SimPic::kFactoryOsccal);  // the backup lies outside the erase
    EXPECT_TRUE(b.pic.PicWriteCalibration(PicEntry::MclrPulse, PicProgramming::Baseline, 0x1FF, osccal, kBaud));
    EXPECT_EQ(b.chip->ProgramWord(0x1FF), SimPic::kFactoryOsccal);
  }
  for (const char* part : {"PIC12F675", "PIC16F684"}) {
    // A bulk erase from configuration space takes the OSCCAL RETLW and the band-gap bits, never
    // the read-only word 0x2008.
    SCOPED_TRACE(part);
    PicBench b(part);
    const SimPic& chip = *b.chip;
    const bool osccal = BandGapBits(chip.Part().Family) != 0;
    EXPECT_EQ(chip.ProgramWord(0x3FF), osccal ? SimPic::kFactoryRetlwOsccal : 0xFFFF);
    b.pic.PicEnterProgramming(PicEntry::MclrPulse);
    b.pic.PicEraseChip(PicErase::BulkFromConfig);
    EXPECT_EQ(chip.ProgramWord(0x3FF), 0x3FFF);
    EXPECT_EQ(chip.ConfigWord(7) & 0x3000, 0x3000);
    std::vector<std::uint8_t> area(18);
    b.pic.PicEnterProgramming(PicEntry::MclrPulse);
    b.pic.PicReadConfigWords(area);
    EXPECT_EQ((area[16] | area[17] << 8) & 0x3FFF, osccal ? 0x3FFF : SimPic::kFactoryCalibrationWord);
  }
}

TEST(SimPicTest, TheEraseOfEachTypeClearsAProtectedChip) {
  // The page's erase: entry; for ProgrammType 2 a 0x3FFF word, for the erase types that use them
  // the protection-clearing runs; then the type's EraseType, every command of which EraseType 5
  // chips understand.
  const IniFile types = IniFile::Load(test::BinDir() / "PIC.ini");
  for (const std::string& type : types.SectionNames()) {
    SCOPED_TRACE(type);
    const PicTypeValues values = ReadPicType(types, type);
    if (values.Pic18()) continue;
    PicBench b(type);
    const bool baseline = values.ProgrammType == PicProgramming::Baseline;
    b.chip->SetProgramWord(0, 0x0123);
    b.chip->SetConfigWord(7, 0x0000);
    if (b.chip->Part().DataBytes > 0) b.chip->SetDataByte(0, 0x12);
    b.pic.PicEnterProgramming(PicEntry::MclrPulse);
    if (baseline) {
      std::int32_t flag = 0;
      b.pic.PicProgramOneWord(0x3FFF, flag, 0x3FFF, values.ProgrammType, 2, kBaud);
    } else if (PicClearsProtection(values.EraseType)) {
      b.pic.PicPutCommand(0);
      b.pic.PicPutIdle();
      b.pic.PicPutDataWord(0x3FFF);
      b.pic.PicPutIdle();
      b.pic.PicFlush();
      b.Steps(7);
      for (int cmd : {1, 7, 8}) b.pic.PicPutCommand(cmd);
      b.pic.PicPutDelay(kBaud);
      for (int cmd : {1, 7}) b.pic.PicPutCommand(cmd);
      b.pic.PicFlush();
    }
    b.pic.PicEraseChip(values.EraseType, values.EepromSize > 0);
    if (values.EraseType == PicErase::BulkFromConfig) {
      EXPECT_EQ(b.chip->Ununderstood(), 0);
    }
    const std::uint16_t blank = baseline ? 0x0FFF : 0x3FFF;
    EXPECT_EQ(b.chip->ProgramWord(0), blank);
    EXPECT_EQ(b.chip->ConfigWord(7) & blank, blank);
    if (b.chip->Part().DataBytes > 0) {
      EXPECT_EQ(b.chip->DataByte(0), 0xFF);
    }
  }
}

TEST(SimPicTest, TheBenchCarriesAPicAndItsMemoryFile) {
  test::TempDir dir;
  {
    auto bench = Bench::FromText("[PIC]\nPart=pic16f84a\nMemory=pic.bin\n", dir.Path());
    auto& chip = dynamic_cast<SimPic&>(*bench->Board()->Pic);
    EXPECT_EQ(chip.Part().Name, std::string("PIC16F84A"));
    chip.SetProgramWord(1, 0x2ABC);
    bench->Save();
  }
  const auto bytes = test::ReadBytes(dir / "pic.bin");
  ASSERT_EQ(bytes.size(), 1024u * 2 + 16 + 64);  // program words, configuration words, data memory
  EXPECT_EQ(bytes[2], 0xBC);
  EXPECT_EQ(bytes[3], 0x2A);
  auto reloaded = Bench::FromText("[PIC]\nPart=PIC16F84A\nMemory=pic.bin\n", dir.Path());
  EXPECT_EQ(dynamic_cast<SimPic&>(*reloaded->Board()->Pic).ProgramWord(1), 0x2ABC);
  EXPECT_EQ(dynamic_cast<SimPic&>(*Bench::Default()->Board()->Pic).Part().Name, std::string("PIC16F628A"));
  EXPECT_THROW(Bench::FromText("[PIC]\nPart=PIC16F999\n", {}), std::exception);
}

}  // namespace
}  // namespace pw::sim
