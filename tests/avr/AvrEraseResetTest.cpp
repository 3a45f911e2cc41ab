// "Стереть чип" and "Сброс".

#include <gtest/gtest.h>

#include "AvrBench.h"

namespace pw {
namespace {

using test::AvrBench;
using Lines = std::vector<std::string>;

TEST(AvrErase, ErasesFlashEepromAndLockAndShowsTheErasedChip) {
  AvrBench b("ATmega328P", "Lock=FC\n");
  b.Core().Flash[100] = 0x12;
  b.Core().Eeprom[7] = 0x34;
  b.Click(b.Page().AvrRdSign);
  EXPECT_EQ(b.Page().AvrLock3.ItemIndex, 2);
  b.Form->Log.Clear();
  EXPECT_EQ(b.Click(b.Page().AvrErase), Outcome::Success);
  EXPECT_EQ(b.Log(), (Lines{"флеш и еепром стёрты"}));
  EXPECT_EQ(b.Core().Flash[100], 0xFF);
  EXPECT_EQ(b.Core().Eeprom[7], 0xFF);
  EXPECT_EQ(b.Page().LockByte, 0xFF);
  EXPECT_EQ(b.Page().AvrLock3.ItemIndex, 0);
  EXPECT_EQ(b.Page().FuseHigh, 0xD9);
  EXPECT_FALSE(b.DeviceOpen());
}

TEST(AvrErase, ASilentChipIsNotReportedAsErased) {
  AvrBench b("ATmega328P", "SilentAfter=37\n");
  b.Core().Flash[100] = 0x12;
  b.Click(b.Page().AvrRdSign);
  b.Form->Log.Clear();
  EXPECT_EQ(b.Click(b.Page().AvrErase), Outcome::TargetProblem);
  const auto log = b.Log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "Ошибка: чип не отвечает");
  EXPECT_EQ(b.Core().Flash[100], 0x12);
}

TEST(AvrReset, HoldsResetThenLetsTheChipRun) {
  AvrBench b("ATmega328P");
  b.Sim().StartTrace(b.Dir / "reset.bin");
  EXPECT_EQ(b.Click(b.Page().AvrChipRst), Outcome::Success);
  b.Sim().StopTrace();
  EXPECT_EQ(b.Log(), (Lines{"чип перезапущен"}));
  // The opening pulse (RESET low, then released), then RESET held low until the pins are let go.
  const auto samples = test::ReadBytes(b.Dir / "reset.bin");
  ASSERT_EQ(samples.size(), 3u);
  EXPECT_EQ(samples[0] & 0x40, 0);
  EXPECT_EQ(samples[1] & 0x40, 0x40);
  EXPECT_EQ(samples[2] & 0x40, 0);
  EXPECT_FALSE(b.DeviceOpen());
}

TEST(AvrReset, AFailureStillLetsTheChipRunAndIsReported) {
  AvrBench b("ATmega328P");
  // The opening pulse takes two writes; the third is the reset.
  b.Sim().Faults().FailCall(sim::SimCall::Write, b.Sim().Faults().Calls(sim::SimCall::Write) + 3, 4);
  EXPECT_EQ(b.Click(b.Page().AvrChipRst), Outcome::ErrorReport);
  EXPECT_EQ(b.Log(), (Lines{"чип перезапущен"}));
  EXPECT_EQ(b.Host.Errors, (Lines{"FT_Write - General IO error..."}));
  EXPECT_FALSE(b.DeviceOpen());
}

}  // namespace
}  // namespace pw
