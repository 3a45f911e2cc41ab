// The chip tray: chip after chip in one socket on the virtual clock, each with its own memory
// files and faults, an empty socket between them; a tray that cannot be is refused.

#include <gtest/gtest.h>

#include "avr/AvrOperations.h"
#include "common/Error.h"
#include "frame/MemoryImages.h"
#include "sim/Bench.h"
#include "support/RecordingReporter.h"
#include "support/TestDirs.h"

namespace pw::sim {
namespace {

TEST(SimTray, TheScheduleLeavesTheSocketEmptyBetweenChipsAndAfterTheLast) {
  const SimTraySchedule tray{3, 1000 * kPicosPerMilli, 400 * kPicosPerMilli};
  const std::pair<SimTime, std::optional<std::size_t>> at[] = {{0, 0},
                                                               {600 * kPicosPerMilli - 1, 0},
                                                               {600 * kPicosPerMilli, std::nullopt},
                                                               {1000 * kPicosPerMilli, 1},
                                                               {2599 * kPicosPerMilli, 2},
                                                               {2600 * kPicosPerMilli, std::nullopt},
                                                               {3000 * kPicosPerMilli, std::nullopt}};
  for (const auto& [now, chip] : at) EXPECT_EQ(tray.ChipAt(now), chip) << now;
}

enum class Visit { Read, EraseWriteVerify };

/// Three ATtiny13A, 1.5 s in the socket and 0.5 s out; the third has a flash cell stuck at 0.
struct AvrTray {
  AvrTray() {
    for (std::size_t k = 0; k < 16; ++k) {
      images.FlashImage[k] = static_cast<std::uint16_t>(0x1200 + k);
      images.FlashFilled[k] = true;
    }
    images.FlashDataCount = 16;
  }
  /// Runs visit once the virtual clock reaches ms.
  Outcome RunAt(SimTime ms, Visit visit) {
    const SimTime now = bench->Programmer().Now();
    EXPECT_LE(now, ms * kPicosPerMilli) << "the visit before took too long";
    if (now < ms * kPicosPerMilli) {
      bench->Programmer().Wait(static_cast<std::uint32_t>((ms * kPicosPerMilli - now) / kPicosPerMilli));
    }
    std::filesystem::remove(dir / "out.bin");
    AvrOperations ops(unit, {.Baud = 19200, .ChipsIni = test::SourceDir() / "data" / "chips.ini"});
    std::vector<OperationStep> steps;
    if (visit == Visit::Read) steps = {ops.ReadFlash(dir / "out.bin")};
    if (visit == Visit::EraseWriteVerify)
      steps = {ops.Erase(), ops.WriteFlash(images.Flash()), ops.VerifyFlash(images.Flash())};
    test::RecordingReporter reporter;
    OperationRun run(reporter);
    return RunFrame(unit, run, ops.Target(), steps);
  }
  std::string Read(const std::string& name) { return test::ReadText(dir / name); }

  static std::unique_ptr<Bench> MakeBench(const test::TempDir& dir) {
    dir.Write("flash-1.bin", std::string(1024, '\x11'));
    dir.Write("flash-2.bin", std::string(1024, '\x22'));
    dir.Write("bench.ini",
              "[AVR]\nPart=ATtiny13A\nFlash=flash-{n}.bin\n"
              "[Tray]\nSocket=AVR\nChips=3\nPeriodMs=2000\nOutMs=500\nFaulty=3\n"
              "[TrayFaulty]\nStuckFlash=0010:3:0\n");
    return Bench::FromFile(dir / "bench.ini");
  }

  test::TempDir dir;
  std::unique_ptr<Bench> bench = MakeBench(dir);
  D2XXUnit unit{bench->Programmer()};
  MemoryImages images;
};

TEST(SimTray, EachVisitSeesTheChipInTheSocketThenAndEachChipKeepsItsOwnFile) {
  AvrTray tray;
  const auto T = Outcome::TargetProblem;
  const struct {
    SimTime Ms;
    Visit What;
    Outcome Result;
    /// What the read saved, or nothing.
    std::string Saved;
  } visits[] = {
      {0, Visit::Read, Outcome::Success, std::string(16, '\x11')},
      {1500, Visit::Read, T, ""},  // the empty socket's diagnosis takes a second look at 1200 baud
      {2050, Visit::Read, Outcome::Success, std::string(16, '\x22')},
      {2500, Visit::EraseWriteVerify, Outcome::Success, ""},
      {4000, Visit::EraseWriteVerify, T, ""},  // the faulty chip fails its verify
      {5600, Visit::Read, T, ""},
  };
  for (const auto& v : visits) {
    SCOPED_TRACE(v.Ms);
    EXPECT_EQ(tray.RunAt(v.Ms, v.What), v.Result);
    EXPECT_EQ(std::filesystem::exists(tray.dir / "out.bin") ? tray.Read("out.bin").substr(0, 16) : "", v.Saved);
  }
  tray.bench->Save();
  EXPECT_EQ(tray.Read("flash-1.bin"), std::string(1024, '\x11'));
  EXPECT_EQ(tray.Read("flash-2.bin").substr(0, 4), std::string("\x00\x12\x01\x12", 4));
  EXPECT_EQ(tray.Read("flash-3.bin").substr(0, 4), std::string("\x00\x12\x01\x12", 4));
}

TEST(SimTray, ATrayThatCannotBeIsRefusedNamingKeyAndValue) {
  const std::string avr = "[AVR]\nPart=ATtiny13A\n";
  const std::pair<std::string, std::string> cases[] = {
      {avr + "[Tray]\nSocket=USB\nPeriodMs=10\n", "[Tray] Socket=USB"},
      {avr + "[Tray]\nSocket=PIC\nPeriodMs=10\n", "[Tray] Socket=PIC"},
      {avr + "[Tray]\nSocket=AVR\nChips=0\nPeriodMs=10\nFaulty=1\n[TrayFaulty]\n", "[Tray] Faulty=1"},
      {avr + "[Tray]\nSocket=AVR\nChips=3\nPeriodMs=10\nFaulty=2,4\n[TrayFaulty]\n", "[Tray] Faulty=2,4"},
      {avr + "[Tray]\nSocket=AVR\nChips=3\nPeriodMs=10\nFaulty=2\n", "[Tray] Faulty=2"},
      {avr + "[Tray]\nSocket=AVR\nPeriodMs=10\nOutMs=10\n", "[Tray] OutMs=10"},
      {avr + "[Tray]\nSocket=AVR\nPeriodMs=0\n", "[Tray] PeriodMs=0"},
      {avr + "[Tray]\nSocket=AVR\nPeriodMs=10\nChips=1001\n", "[Tray] Chips=1001"},
      {avr + "Flash=f.bin\n[Tray]\nSocket=AVR\nChips=2\nPeriodMs=10\n", "[AVR] Flash=f.bin"},
      {"[I2C]\nPart=24C02\nBusyMs=-1\n", "[I2C] BusyMs"},
  };
  for (const auto& [text, named] : cases) {
    try {
      Bench::FromText(text, {});
      ADD_FAILURE() << text;
    } catch (const PinwrightError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Ошибка в файле стенда: " + named, 0), 0u) << e.what();
    }
  }
}

}  // namespace
}  // namespace pw::sim
