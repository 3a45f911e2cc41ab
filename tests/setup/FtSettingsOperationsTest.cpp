#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "d2xx/FtEepromImage.h"
#include "frame/Texts.h"
#include "link/ProgrammerConnection.h"
#include "setup/FtSettingsOperations.h"
#include "sim/Bench.h"
#include "support/RecordingReporter.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

enum class Fault { None, NoProgrammer, ReadFails, ProgramFails, CloseFails, NoProduct, Held, TwoDevices, WornWord };

struct Row {
  const char* Name;
  /// The steps in order: R read, W write (the current below), D defaults.
  std::string Steps;
  Fault Problem;
  Outcome Result;
  bool Programmed;
  /// The run's last word: the error report, else the last log line (empty: none).
  std::string Last;
  std::string Current = "120";
  /// The answer to the question the choice of the external crystal asks.
  bool Answer = true;
};

bool Logged(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::unique_ptr<sim::Bench> BenchFor(Fault problem, const std::filesystem::path& dir) {
  if (problem == Fault::NoProgrammer) return sim::Bench::FromText("[Programmer]\nOpenStatus=2\n", dir);
  if (problem != Fault::TwoDevices) return sim::Bench::Default();
  return sim::Bench::FromText(
      "[Programmer]\nDescription=Adapter A\nSerialNumber=AAAA0001\n"
      "[Programmer2]\nDescription=Adapter B\nSerialNumber=BBBB0002\n",
      dir);
}

/// Steps of a row through the frame, on a fresh virtual programmer.
struct SettingsRun {
  explicit SettingsRun(const Row& row) : bench(BenchFor(row.Problem, dir.Path())) {
    auto& faults = bench->Programmer().Faults();
    if (row.Problem == Fault::ReadFails) faults.FailCall(sim::SimCall::EeRead, 3, FT_EEPROM_READ_FAILED);
    if (row.Problem == Fault::ProgramFails) faults.FailCall(sim::SimCall::EeProgram, 1, FT_EEPROM_WRITE_FAILED);
    if (row.Problem == Fault::CloseFails) faults.FailCall(sim::SimCall::Close, 1, FT_IO_ERROR);
    if (row.Problem == Fault::WornWord) faults.KeepEepromWord(0);
    reporter.Answers = {row.Answer};
    if (row.Problem == Fault::NoProduct) {
      Eeprom()[0x04] = Eeprom()[0x05] = 0;
      Eeprom()[0x7E] = static_cast<std::uint8_t>(FtEepromChecksum(Eeprom()));
      Eeprom()[0x7F] = static_cast<std::uint8_t>(FtEepromChecksum(Eeprom()) >> 8);
    }
    if (row.Problem == Fault::Held) OpenProgrammer(unit, kModeNone, 19200);
    for (const auto& device : bench->Programmer().Devices()) before.push_back(device->Eeprom);
  }
  FtEepromImage& Eeprom() { return bench->Programmer().Devices()[0]->Eeprom; }
  Outcome Run(const Row& row) {
    std::vector<OperationStep> steps;
    for (const char step : row.Steps) {
      if (step == 'R') steps.push_back(settings.Read(found));
      if (step == 'W') steps.push_back(settings.WriteSettings({"CLK12", row.Current, "1.1", 1}));
      if (step == 'D') steps.push_back(settings.WriteDefaults());
    }
    OperationRun run(reporter);
    const bool programs = row.Steps.find_first_of("WD") != std::string::npos;
    return settings.Run(run, FtSettingsOperations::Target(19200, texts::kNoProgrammer), steps, programs);
  }

  test::TempDir dir;
  std::unique_ptr<sim::Bench> bench;
  D2XXUnit unit{bench->Programmer()};
  FtSettingsOperations settings{unit};
  FtSettingsFound found;
  test::RecordingReporter reporter;
  std::vector<FtEepromImage> before;
};

TEST(FtSettingsOperations, OnlyASafeRecordThatTheReadFilledIsProgrammed) {
  const std::string eeRead = "FT_EE_Read  - EEPROM read failed...";
  const Row rows[] = {
      {"read", "R", Fault::None, Outcome::Success, false, "HI Drive=0"},
      {"read: no programmer", "R", Fault::NoProgrammer, Outcome::ErrorReport, false, texts::kNoProgrammer},
      {"read: EEPROM read fails", "R", Fault::ReadFails, Outcome::ErrorReport, false, eeRead},
      {"write", "RW", Fault::None, Outcome::Success, true, texts::kSettingsWritten},
      {"defaults", "RD", Fault::None, Outcome::Success, true, texts::kDefaultsWritten},
      {"write without a read", "W", Fault::None, Outcome::TargetProblem, false, texts::kSettingsNotRead},
      {"defaults without a read", "D", Fault::None, Outcome::TargetProblem, false, texts::kSettingsNotRead},
      {"write after a failed read", "RW", Fault::ReadFails, Outcome::ErrorReport, false, eeRead},
      {"write: current no number", "RW", Fault::None, Outcome::ErrorReport, false, texts::kNoProgrammer, "abc"},
      {"write: no current", "RW", Fault::None, Outcome::ErrorReport, false, texts::kNoProgrammer, ""},
      {"write: 600 mA", "RW", Fault::None, Outcome::TargetProblem, false,
       "Ошибка: ток 600 mA больше 500 mA, прошивка отменена", "600"},
      {"write: -10 mA", "RW", Fault::None, Outcome::TargetProblem, false,
       "Ошибка: ток -10 mA меньше нуля, прошивка отменена", "-10"},
      {"write: 65586 mA, 50 in 16 bits", "RW", Fault::None, Outcome::TargetProblem, false,
       "Ошибка: ток 65586 mA больше 500 mA, прошивка отменена", "65586"},
      {"write: crystal answered No", "RW", Fault::None, Outcome::Success, false, "", "120", false},
      {"defaults: close fails", "RD", Fault::CloseFails, Outcome::ErrorReport, true, "FT_Close - General IO error..."},
      {"defaults: product 0", "RD", Fault::NoProduct, Outcome::TargetProblem, false,
       "Ошибка: VID/PID программатора равны нулю, прошивка отменена (программатор пропал бы с шины USB)"},
      {"defaults: held by another", "RD", Fault::Held, Outcome::TargetProblem, false, texts::kProgrammerBusy},
      {"write: program fails", "RW", Fault::ProgramFails, Outcome::ErrorReport, false, texts::kNoProgrammer},
      {"defaults: program fails", "RD", Fault::ProgramFails, Outcome::ErrorReport, false,
       "FT_EE_Program - EEPROM write failed..."},
      {"defaults: a word the EEPROM keeps", "RD", Fault::WornWord, Outcome::TargetProblem, true,
       texts::kEepromChecksumBad},
      {"defaults: two devices", "RD", Fault::TwoDevices, Outcome::Success, true, texts::kDefaultsWritten},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    SettingsRun t(row);
    EXPECT_EQ(t.Run(row), row.Result);
    const auto& r = t.reporter;
    EXPECT_EQ(!r.Errors.empty() ? r.Errors.back() : r.Lines.empty() ? "" : r.Lines.back(), row.Last);
    EXPECT_EQ(Logged(r.Lines, texts::kEepromHalfWritten), row.Problem == Fault::ProgramFails);
    EXPECT_EQ(Logged(r.Lines, texts::kProgrammedNotClosed), row.Problem == Fault::CloseFails);
    // Refused input, a question answered No and a busy programmer end the run before the read.
    const bool early =
        row.Last == texts::kProgrammerBusy || !row.Answer || (row.Current != "120" && row.Last == texts::kNoProgrammer);
    EXPECT_EQ(t.found.Opened, row.Steps[0] == 'R' && row.Problem != Fault::NoProgrammer && !early);
    const auto& devices = t.bench->Programmer().Devices();
    EXPECT_EQ(devices[0]->Eeprom != t.before[0], row.Programmed);
    // The programmer keeps its own description; no other device is touched.
    EXPECT_EQ(FtEepromString(devices[0]->Eeprom, 0x10), FtEepromString(t.before[0], 0x10));
    for (std::size_t k = 1; k < devices.size(); ++k) EXPECT_EQ(devices[k]->Eeprom, t.before[k]);
    EXPECT_EQ(devices[0]->Open, row.Problem == Fault::Held);
  }
}

TEST(FtSettingsOperations, AWriteCutAtAnyWordReadsAsDamagedUntilDefaultsRepairIt) {
  const Row defaults{"defaults", "RD", Fault::None, Outcome::Success, true, texts::kDefaultsWritten};
  const Row read{"read", "R", Fault::None, Outcome::Success, false, "HI Drive=1"};
  for (std::uint32_t words = 0; words < 64; ++words) {
    SCOPED_TRACE(words);
    SettingsRun t(defaults);
    sim::SimFt232r& programmer = t.bench->Programmer();
    programmer.Faults().UnplugAfterEepromWords(words);
    EXPECT_EQ(t.Run(defaults), Outcome::ErrorReport);
    EXPECT_TRUE(Logged(t.reporter.Lines, texts::kEepromHalfWritten));
    // Word 0 changes (high drive on): from one word on the EEPROM holds a mix.
    EXPECT_EQ(t.Eeprom() != t.before[0], words > 0);
    programmer.Devices()[0]->Unplugged = false;
    programmer.Faults().UnplugAfterEepromWords(UINT32_MAX);
    EXPECT_EQ(t.Run(read), words > 0 ? Outcome::TargetProblem : Outcome::Success);
    EXPECT_EQ(t.reporter.Lines.back() == texts::kEepromChecksumBad, words > 0);
    EXPECT_EQ(t.Run(defaults), Outcome::Success);
    EXPECT_EQ(t.Run(read), Outcome::Success);
    EXPECT_EQ(t.reporter.Lines.back(), "HI Drive=1");
  }
}

}  // namespace
}  // namespace pw
