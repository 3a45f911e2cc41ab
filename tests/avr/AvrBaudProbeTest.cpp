// The baud list's "авто" entry (--baud auto): the fastest clock a chip takes, found by reading its
// signature at baud values rising or falling from above the shipped one, and the work done at
// half of it within the USB limit, never slower than the shipped baud the chip was seen to take.

#include <gtest/gtest.h>

#include "AvrBench.h"
#include "avr/AvrBaudProbe.h"

namespace pw {
namespace {

using test::AvrBench;

/// The fastest of the steps whose SCK phase (one sample, 1 / (16 × baud)) lasts more than the
/// datasheets' 2 CPU clocks (3 from 12 MHz), in the picoseconds the simulator counts.
std::int32_t FastestWithin(std::uint64_t cpuHz) {
  const std::uint64_t cycles = cpuHz >= 12'000'000 ? 3 : 2;
  std::int32_t fastest = 0;
  for (const std::int32_t baud : kAutoBaudSteps) {
    if (1'000'000'000'000ull / (16ull * static_cast<std::uint64_t>(baud)) > cycles * 1'000'000'000'000ull / cpuHz) {
      fastest = baud;
    }
  }
  return fastest;
}

void ChooseAuto(AvrBench& b) {
  b.Form->BoudRate.Select(static_cast<int>(b.Form->BoudRate.Items.size()) - 1);
  b.Form->Fire(b.Form->BoudRate.OnChange);
}

TEST(AvrAutoBaud, ChoosesTheFastestStepTheChipsClockTakesAndWorksNoSlowerThanTheShippedBaud) {
  struct Case {
    const char* What;
    const char* Bench;
    std::uint64_t CpuHz;
    /// Half the fastest step, but at least 19,200 when that passed and at most the USB limit.
    std::int32_t Working;
  };
  const Case cases[] = {
      {"factory 1 MHz", "", 1'000'000, 19200},
      {"internal 8 MHz", "Fuses=E2 D9 FF\n", 8'000'000, kUsbLimitBaud},
      {"16 MHz crystal", "Fuses=FF D9 FF\nClock=16000000\n", 16'000'000, kUsbLimitBaud},
      {"128 kHz oscillator", "Fuses=E3 D9 FF\n", 128'000, 1200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    AvrBench b("ATmega328P", c.Bench);
    ChooseAuto(b);
    const std::int32_t fastest = FastestWithin(c.CpuHz);
    ASSERT_GT(fastest, 0);
    ASSERT_EQ(b.Click(b.Page().AvrRdSign), Outcome::Success);
    EXPECT_EQ(b.Log().front(), "Скорость авто: чип отвечает до " + std::to_string(fastest) + " бод, работаем на " +
                                   std::to_string(c.Working) + " бод");
    EXPECT_EQ(b.Log().back(), "чип: ATmega328P");
    // Later operations open the programmer at the working value and the chip follows it.
    b.Form->Log.Clear();
    EXPECT_EQ(b.ClickWithFile(b.Page().AvrReadFls, b.Dir / "read.hex"), Outcome::Success);
    EXPECT_EQ(b.Form->Unit.LinkBaud, c.Working);
  }
}

/// The virtual time an identification of a factory 1 MHz ATmega328P takes under datasheet timing.
sim::SimTime IdentifyTime(bool automatic) {
  AvrBench b("ATmega328P", "[Timing]\nModel=datasheet\nLatencyUs=1000\n");
  if (automatic) ChooseAuto(b);
  const sim::SimTime start = b.Sim().Now();
  EXPECT_EQ(b.Click(b.Page().AvrRdSign), Outcome::Success);
  return b.Sim().Now() - start;
}

TEST(AvrAutoBaud, ProbesAChipThatTakesTheShippedBaudInTwoFreshEntries) {
  // Worked at 19,200 either way, the chip is asked only whether it reads at 28,800 (it does) and at
  // 38,400 (it does not); a third step or a retry would wait the entry time a third time.
  EXPECT_LT(IdentifyTime(true) - IdentifyTime(false), 3 * AVRUtils::kEntryWaitMs * sim::kPicosPerMilli);
}

TEST(AvrAutoBaud, ASilentHeaderKeepsTheBaudOfSpeedTxt) {
  AvrBench b(std::nullopt);
  ChooseAuto(b);
  EXPECT_EQ(b.Click(b.Page().AvrRdSign), Outcome::TargetProblem);
  EXPECT_EQ(b.Log().front(), "Скорость авто: чип не ответил ни на одной скорости, работаем на 19200 бод");
  EXPECT_EQ(b.Form->Unit.LinkBaud, 19200);
}

}  // namespace
}  // namespace pw
