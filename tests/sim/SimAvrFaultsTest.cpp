// The faults a bench can give the simulated AVR: stuck flash cells and a chip that stops answering.

#include <gtest/gtest.h>

#include "avr/AvrUtils.h"
#include "common/Error.h"
#include "link/ProgrammerConnection.h"
#include "sim/Bench.h"
#include "sim/SimAvr.h"

namespace pw::sim {
namespace {

SimAvr& AvrOf(Bench& bench) { return dynamic_cast<SimAvr&>(*bench.Board()->Avr); }

TEST(SimAvrFaults, AStuckCellReadsItsLevelWhateverIsProgrammedOrErased) {
  auto bench = Bench::FromText("[AVR]\nPart=ATmega328P\nStuckFlash=8A:0:1, 8b:7:0\n", {});
  SimAvrCore& core = AvrOf(*bench).Core();
  const SimEnvironment env;
  // Erased: the stuck-at-0 cell of byte 0x8B shows; programmed to 0: the stuck-at-1 cell of 0x8A shows.
  EXPECT_EQ(core.ReadFlash(0x45, false, env), 0xFF);
  EXPECT_EQ(core.ReadFlash(0x45, true, env), 0x7F);
  core.Flash[0x8A] = 0x00;
  core.Flash[0x8B] = 0xFF;
  EXPECT_EQ(core.ReadFlash(0x45, false, env), 0x01);
  EXPECT_EQ(core.ReadFlash(0x45, true, env), 0x7F);
  // Neighbours are untouched, and so is what the bench saves.
  EXPECT_EQ(core.ReadFlash(0x44, true, env), 0xFF);
  EXPECT_EQ(core.Flash[0x8A], 0x00);
}

TEST(SimAvrFaults, ASilentChipStopsAnsweringAndCarriesNothingOut) {
  auto bench = Bench::FromText("[AVR]\nPart=ATmega328P\nSilentAfter=12\n", {});
  D2XXUnit unit(bench->Programmer());
  OpenProgrammer(unit, kModeAvr, 19200);
  AVRUtils avr(unit);
  EXPECT_TRUE(avr.AvrProgEnable());              // bytes 1-4
  EXPECT_EQ(avr.AvrReadSignatureByte(0), 0x1E);  // 5-8
  avr.AvrWriteLockByte(0xFC);                    // 9-12: the last one it takes
  EXPECT_EQ(AvrOf(*bench).Core().ReadLock({}), 0xFC);
  EXPECT_EQ(avr.AvrReadSignatureByte(1), 0xFF);  // MISO floats: the pull-up reads 1
  EXPECT_FALSE(avr.AvrProgEnable());
  avr.AvrChipErase();
  EXPECT_EQ(AvrOf(*bench).Core().ReadLock({}), 0xFC);
  CloseProgrammer(unit);
}

TEST(SimAvrFaults, BadSettingsAreRefusedWithTheirText) {
  for (const char* text : {"StuckFlash=8000:0:1\n", "StuckFlash=10:8:1\n", "StuckFlash=10:0:2\n", "StuckFlash=10:0\n",
                           "StuckFlash=zz:0:1\n", "SilentAfter=-1\n", "SilentAfter=many\n", "SilentAfter=\n"}) {
    try {
      Bench::FromText(std::string("[AVR]\nPart=ATmega328P\n") + text, {});
      ADD_FAILURE() << text;
    } catch (const PinwrightError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Ошибка в файле стенда: [AVR] ", 0), 0u) << e.what();
    }
  }
}

}  // namespace
}  // namespace pw::sim
