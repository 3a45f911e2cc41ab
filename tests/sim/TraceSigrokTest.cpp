#include <gtest/gtest.h>

#include "link/ProgrammerConnection.h"
#include "sim/SimFt232r.h"
#include "support/Sigrok.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

TEST(TraceInSigrok, TheAvrStartPulseReadsAsEightChannelLogicData) {
  if (!test::HaveSigrok()) GTEST_SKIP() << "sigrok-cli is not installed";
  test::TempDir dir;
  sim::SimFt232r sim;
  sim.AddProgrammer({});
  D2XXUnit unit(sim);
  sim.StartTrace(dir / "open.bin");
  OpenProgrammer(unit, kModeAvr, 19200);
  CloseProgrammer(unit);
  sim.StopTrace();
  // Two samples: all outputs low (RESET held), then RESET released. Inputs D0-D2, D4, D7 float high.
  const auto rows = test::SigrokCsvRows(test::RunSigrok(dir / "open.bin", "-O csv"));
  EXPECT_EQ(rows, (std::vector<std::string>{"1,1,1,0,1,0,0,1", "1,1,1,0,1,0,1,1"}));
}

}  // namespace
}  // namespace pw
