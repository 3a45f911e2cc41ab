// The sample runs of the ICSP layer: frames, commands, waits, read decoding and masks, empty
// blocks, and the split of writes whose programming wait would outgrow the sample buffers.

#include <gtest/gtest.h>

#include <functional>

#include "common/Error.h"
#include "link/ProgrammerConnection.h"
#include "pic/PicLineChip.h"
#include "pic/PicUtils.h"
#include "sim/SimFt232r.h"
#include "support/RecordingD2xx.h"

namespace pw {
namespace {

using Samples = std::vector<std::uint8_t>;

Samples Repeat(const Samples& part, int times) {
  Samples out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Samples Cat(std::initializer_list<Samples> parts) {
  Samples out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

const Samples kOne{0x85, 0x05};
const Samples kZero{0x8D, 0x0D};

using LineChip = test::PicLineChip;

struct PicUtilsTest : ::testing::Test {
  PicUtilsTest() {
    sim::SimBoard& board = sim.AddProgrammer({});
    board.Pic = std::make_unique<LineChip>();
    chip = static_cast<LineChip*>(board.Pic.get());
    OpenProgrammer(unit, kModePic, 19200);
    recorder.Calls.clear();
    chip->Count = 0;
  }
  Samples Laid() const { return Samples(unit.OutSamples.begin(), unit.OutSamples.begin() + pic.Mark()); }

  sim::SimFt232r sim;
  test::RecordingD2xx recorder{sim};
  D2XXUnit unit{recorder};
  PICUtils pic{unit};
  LineChip* chip = nullptr;
};

TEST_F(PicUtilsTest, CommandsFramesIdleAndWaitsLayTheirSamples) {
  struct Case {
    const char* Name;
    std::function<void(PICUtils&)> Lay;
    Samples Expected;
  };
  const std::vector<Case> cases = {
      {"data 0x3FFF", [](PICUtils& p) { p.PicPutDataWord(0x3FFF); }, Cat({kZero, Repeat(kOne, 14), kZero})},
      {"data keeps 14 bits", [](PICUtils& p) { p.PicPutDataWord(0xC001); },
       Cat({kZero, kOne, Repeat(kZero, 13), kZero})},
      {"command 6",
       [](PICUtils& p) { p.PicPutCommand(6); },
       {0x8D, 0x0D, 0x85, 0x05, 0x85, 0x05, 0x8D, 0x0D, 0x8D, 0x0D, 0x8D, 0x0D}},
      {"command 31 keeps 6 bits", [](PICUtils& p) { p.PicPutCommand(31 + 64); }, Cat({Repeat(kOne, 5), kZero})},
      {"read clocks", [](PICUtils& p) { p.PicPutReadClocks(); }, Repeat(kOne, 16)},
      {"idle", [](PICUtils& p) { p.PicPutIdle(); }, Samples(10, 0x05)},
      {"wait 34", [](PICUtils& p) { p.PicPutDelay(34); }, {}},
      {"wait 35", [](PICUtils& p) { p.PicPutDelay(35); }, {0x05}},
      {"wait 3500", [](PICUtils& p) { p.PicPutDelay(3500); }, Samples(100, 0x05)},
      {"wait -35", [](PICUtils& p) { p.PicPutDelay(-35); }, {}},
  };
  for (const auto& c : cases) {
    c.Lay(pic);
    EXPECT_EQ(Laid(), c.Expected) << c.Name;
    pic.PicFlush();
  }
}

TEST_F(PicUtilsTest, TheReadFrameAssemblesSixteenBitsAndEachReadMasksItsOwnWay) {
  // D1 set in samples R + 3 .. R + 31 and clear in R + 33 assembles 0x7FFF. The chip pulls PGD low
  // after sample R + 32, which the programmer reads back with sample R + 33.
  std::vector<std::uint16_t> words(1);
  chip->LowAt = {22 + 32};
  pic.PicReadProgramWords(1, words);
  EXPECT_EQ(pic.PicDecodeWord(22), 0x7FFF);
  EXPECT_EQ(words[0], 0x3FFF);

  std::vector<std::uint8_t> bytes(1);
  chip->Count = 0;
  pic.PicReadDataBytes(1, bytes);
  EXPECT_EQ(bytes[0], 0xFF);

  std::vector<std::uint8_t> area(18);
  chip->Count = 0;
  chip->LowAt = {64 + 22 + 32};
  pic.PicReadConfigWords(area);
  EXPECT_EQ(area[0], 0xFF);
  EXPECT_EQ(area[1], 0x7F);
  EXPECT_EQ(area[3], 0x7F);  // word 0x2001: bit 15 is the first sample of Increment Address, a 0 bit
}

TEST_F(PicUtilsTest, WhatEachOperationSends) {
  struct Case {
    const char* Name;
    std::function<void(PICUtils&)> Run;
    std::vector<std::string> Calls;  // "W n" for an exchange of n samples, "Wait(ms)"
  };
  const std::vector<std::uint16_t> image(64, 0x3FFF);
  const std::vector<std::uint8_t> bytes(64, 0xFF);
  std::int32_t result = 0;
  const std::vector<Case> cases = {
      {"entry 0", [](PICUtils& p) { p.PicEnterProgramming(PicEntry::MclrPulse); }, {"W 1", "Wait(10)", "W 1"}},
      {"entry 2 sends nothing", [](PICUtils& p) { p.PicEnterProgramming(PicEntry::Nothing); }, {}},
      {"erase 0 sends nothing", [](PICUtils& p) { p.PicEraseChip(PicErase::Nothing); }, {}},
      {"erase 1",
       [](PICUtils& p) { p.PicEraseChip(PicErase::BulkAfterProgramCycle); },
       {"W 120", "Wait(100)", "W 120", "Wait(100)"}},
      {"erase 2", [](PICUtils& p) { p.PicEraseChip(PicErase::Bulk); }, {"W 88", "Wait(100)", "W 88", "Wait(100)"}},
      {"erase 4", [](PICUtils& p) { p.PicEraseChip(PicErase::Chip); }, {"W 66", "Wait(100)"}},
      {"erase 5",
       [](PICUtils& p) { p.PicEraseChip(PicErase::BulkFromConfig); },
       {"W 66", "Wait(100)", "W 12", "Wait(100)"}},
      {"erase 5 without data memory",
       [](PICUtils& p) { p.PicEraseChip(PicErase::BulkFromConfig, false); },
       {"W 66", "Wait(100)"}},
      {"16 words through a latch of 8",
       [&](PICUtils& p) { p.PicProgramLatched(0, 16, image, 8, 10, 19200); },
       {"W " + std::to_string(2 * (8 * 56 + 34 + 548))}},
      {"16 words of type 2",
       [&](PICUtils& p) { p.PicProgramWords2(0, 16, image, 19200, result); },
       {"W " + std::to_string(16 * (144 + 548))}},
      {"an empty block", [&](PICUtils& p) { p.PicProgramWords1(0, 0, image, 19200, result); }, {"W 0"}},
      {"16 bytes are 8 locations",
       [&](PICUtils& p) { p.PicProgramDataBytes(0, 16, bytes, 19200, result); },
       {"W " + std::to_string(8 * (122 + 548))}},
      {"15 bytes are 7",
       [&](PICUtils& p) { p.PicProgramDataBytes(0, 15, bytes, 19200, result); },
       {"W " + std::to_string(7 * (122 + 548))}},
      {"one word, type 2",
       [](PICUtils& p) {
         std::int32_t flag = 0;
         p.PicProgramOneWord(0x3FFF, flag, 0x3FFF, PicProgramming::Baseline, 2, 350);
       },
       {"W 174"}},
      // 16 × (144 + 200000 / 35) samples would be 93,712: split where the buffers end, 11 words a run.
      {"a long wait splits the block",
       [&](PICUtils& p) { p.PicProgramWords3(0, 16, image, 200000, result); },
       {"W " + std::to_string(11 * (144 + 5714)), "W " + std::to_string(5 * (144 + 5714))}},
  };
  for (const auto& c : cases) {
    recorder.Calls.clear();
    result = 0;
    c.Run(pic);
    std::vector<std::string> seen;
    for (const auto& call : recorder.Calls) {
      if (call.rfind("Read(", 0) == 0) seen.push_back("W " + call.substr(5, call.size() - 6));
      if (call.rfind("Wait(", 0) == 0) seen.push_back(call);
    }
    EXPECT_EQ(seen, c.Calls) << c.Name;
  }
}

TEST_F(PicUtilsTest, VerifyMasksAndTheFirstFailingIndex) {
  // The line reads all ones: 0x3FFF words and 0xFF bytes compare equal, anything else fails.
  std::vector<std::uint16_t> image(64, 0x3FFF);
  std::int32_t result = 0;
  pic.PicProgramWords1(0, 0, image, 350, result);
  EXPECT_EQ(result, NoError);
  image[35] = 0x2FFF;
  pic.PicProgramWords1(32, 16, image, 350, result);
  EXPECT_EQ(result, 35);
  image[35] = 0x2FFF;  // bit 12 lies outside the baseline mask
  pic.PicProgramWords2(32, 16, image, 350, result);
  EXPECT_EQ(result, NoError);
  pic.PicProgramWords3(32, 16, image, 350, result);  // 14-bit parts compare all 14 bits
  EXPECT_EQ(result, 35);
  std::vector<std::uint8_t> bytes(32, 0xFF);
  bytes[11] = 0x00;  // odd offsets are neither sent nor compared
  pic.PicProgramDataBytes(0, 16, bytes, 350, result);
  EXPECT_EQ(result, NoError);
  bytes[10] = 0x7F;
  pic.PicProgramDataBytes(0, 16, bytes, 350, result);
  EXPECT_EQ(result, 10);
  std::int32_t flag = 7;
  pic.PicProgramOneWord(0x3FFF, flag, 0x3FFF, PicProgramming::EraseProgram, 2, 350);
  EXPECT_EQ(flag, 7);
  pic.PicProgramOneWord(0x1FFF, flag, 0x3FFF, PicProgramming::EraseProgram, 2, 350);
  EXPECT_EQ(flag, 0x3FFF);
}

TEST_F(PicUtilsTest, RunsThatCannotFitAreRefusedBeforeAnythingIsSent) {
  const std::vector<std::uint16_t> image(16, 0x3FFF);
  std::int32_t result = 0;
  std::int32_t flag = 0;
  recorder.Calls.clear();
  EXPECT_THROW(pic.PicProgramOneWord(0x3FFF, flag, 0x3FFF, PicProgramming::EraseProgram, 2, 3000000), PinwrightError);
  EXPECT_THROW(pic.PicProgramWords1(0, 1, image, 3000000, result), PinwrightError);
  EXPECT_THROW(pic.PicProgramWords1(10, 8, image, 350, result), PinwrightError);  // past the image
  EXPECT_TRUE(recorder.Calls.empty());
  pic.PicPutDelay(65530 * PICUtils::kWaitDivisor);
  EXPECT_THROW(pic.PicPutCommand(6), PinwrightError);
  EXPECT_EQ(pic.Mark(), 65530u);
  EXPECT_TRUE(recorder.Calls.empty());
}

}  // namespace
}  // namespace pw
