// The PIC18 ICSP layer's samples: a command with its operand, a table read and where its byte is
// taken from, the programming NOP with its held fourth clock, and long waits across runs.

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "link/ProgrammerConnection.h"
#include "pic/Pic18Utils.h"
#include "pic/PicLineChip.h"
#include "sim/SimFt232r.h"
#include "support/RecordingD2xx.h"

namespace pw {
namespace {

using Samples = std::vector<std::uint8_t>;
constexpr std::int32_t kBaud = 19200;  // 307,200 samples a second

/// Clocks of the given bits, least significant first: PGC high carrying the bit, then low.
Samples Clocks(std::initializer_list<int> bits) {
  Samples out;
  for (const int bit : bits) {
    out.push_back(bit ? 0x85 : 0x8D);
    out.push_back(bit ? 0x05 : 0x0D);
  }
  return out;
}

Samples Cat(std::initializer_list<Samples> parts) {
  Samples out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

using LineChip = test::PicLineChip;

/// Keeps every run written whole.
struct RunsD2xx : test::RecordingD2xx {
  using RecordingD2xx::RecordingD2xx;
  std::vector<Samples> Runs;
  FT_STATUS Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) override {
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    Runs.emplace_back(p, p + count);
    return RecordingD2xx::Write(handle, buffer, count, written);
  }
};

struct Pic18UtilsTest : ::testing::Test {
  Pic18UtilsTest() {
    sim::SimBoard& board = sim.AddProgrammer({});
    board.Pic = std::make_unique<LineChip>();
    chip = static_cast<LineChip*>(board.Pic.get());
    OpenProgrammer(unit, kModePic, kBaud);
    recorder.Runs.clear();
    chip->Count = 0;
  }
  /// The samples of every run written since the last call, one vector a run.
  std::vector<Samples> Written() { return std::exchange(recorder.Runs, {}); }

  sim::SimFt232r sim;
  RunsD2xx recorder{sim};
  D2XXUnit unit{recorder};
  PIC18Utils pic{unit, kBaud};
  LineChip* chip = nullptr;
};

TEST_F(Pic18UtilsTest, CommandsReadsAndTheProgrammingNopLayTheirSamples) {
  std::uint8_t byte = 0;
  struct Case {
    const char* Name;
    std::function<void()> Lay;
    Samples Expected;
  };
  const std::vector<Case> cases = {
      {"MOVLW 0x3C", [&] { pic.Instruction(pic18::Movlw(0x3C)); },
       Clocks({0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0})},
      {"TBLRD*+: eight clocks of 0, then PGD let go", [&] { pic.Read(pic18::kTableReadPostIncrement, &byte); },
       Clocks({1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1})},
      // P9 of 1 ms is 308 samples and a thirty-second more with PGC high, P10 of 100 µs 31 with it
      // low; each one more.
      {"programming NOP", [&] { pic.ProgrammingNop(1); },
       Cat({Clocks({0, 0, 0}), Samples(318, 0x8D), Samples(32, 0x0D),
            Clocks({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Lay();
    pic.Flush();
    EXPECT_EQ(Written(), std::vector<Samples>{c.Expected});
  }
}

TEST_F(Pic18UtilsTest, AReadTakesBitIFromTheLowSampleOfOperandClockNinePlusI) {
  // The read's last eight clocks start at sample 24; the chip pulls PGD low with the high sample
  // of clocks 9 and 16 (bits 0 and 7), which the programmer reads back with their low samples.
  chip->LowAt = {24, 24 + 14};
  std::uint8_t byte = 0;
  pic.Read(pic18::kShiftOutTablat, &byte);
  EXPECT_EQ(byte, 0) << "stored only when the run is exchanged";
  pic.Flush();
  EXPECT_EQ(byte, 0x7E);
}

TEST_F(Pic18UtilsTest, LongWaitsSpanRunsAndNoCommandIsSplit) {
  // 250 ms idle is 79,201 samples (76,800, a thirty-second and one): more than one run holds.
  pic.Idle(250);
  pic.Flush();
  auto runs = Written();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].size() + runs[1].size(), 79201u);
  // 206 ms is 65,262 samples: six commands still fit after them, the seventh starts a new run.
  pic.Idle(206);
  for (int i = 0; i < 7; ++i) pic.Instruction(pic18::kNop);
  pic.Flush();
  runs = Written();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].size(), 65262u + 6 * PIC18Utils::kCommandSamples);
  EXPECT_EQ(runs[1], Clocks({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace pw
