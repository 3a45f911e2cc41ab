#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Error.h"
#include "frame/Frame.h"
#include "frame/Texts.h"
#include "sim/SimFt232r.h"
#include "support/RecordingReporter.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

/// Two steps on a fresh virtual programmer, each phase writing its name into the log; a case
/// makes one phase fail and says which phases must have run, and how the run ends.
struct FrameOrder : ::testing::Test {
  FrameOrder() { sim.AddProgrammer({}); }

  OperationStep Step(const std::string& name) {
    return {
        .CheckInputs = [this, name]() -> Refusal { return Phase(name + " inputs"); },
        .CheckTarget = [this, name]() -> Refusal { return Phase(name + " target"); },
        .Confirm = [this, name](OperationRun&) { return !Phase(name + " confirm"); },
        .Act =
            [this, name](OperationRun& run) {
              // The work happens on an open programmer, never before.
              EXPECT_TRUE(sim.Devices()[0]->Open) << name;
              if (Phase(name + " act")) run.TargetFailed(name + " failed");
            },
    };
  }
  /// Logs phase; returns a refusal (or throws) when the case makes it fail.
  Refusal Phase(const std::string& phase) {
    reporter.Lines.push_back(phase);
    if (phase == throwIn) throw PinwrightError("FT_Write - General IO error...");
    return phase == failIn ? Refusal(phase + " refused") : std::nullopt;
  }

  sim::SimFt232r sim;
  D2XXUnit unit{sim};
  test::RecordingReporter reporter;
  std::string failIn;
  std::string throwIn;
};

TEST_F(FrameOrder, EveryCheckAndQuestionComesBeforeAnyWorkAndTheProgrammerIsAlwaysClosed) {
  const Lines all = {"a inputs",  "b inputs",  "identify", "a target", "b target",
                     "a confirm", "b confirm", "a act",    "b act"};
  struct Case {
    const char* FailIn;
    const char* ThrowIn;
    bool Identified;
    int StopAtLook;
    std::size_t PhasesRun;
    Lines Extra;
    Outcome Result;
  };
  const Case cases[] = {
      {"", "", true, 0, 9, {}, Outcome::Success},
      {"b inputs", "", true, 0, 2, {"b inputs refused"}, Outcome::ErrorReport},
      {"", "", false, 0, 3, {}, Outcome::TargetProblem},
      {"b target", "", true, 0, 5, {"b target refused"}, Outcome::ErrorReport},
      {"a confirm", "", true, 0, 6, {}, Outcome::Success},  // answered No: nothing done
      {"a act", "", true, 0, 8, {"a failed"}, Outcome::TargetProblem},
      {"", "", true, 1, 8, {texts::Stopped(texts::kStoppedBetweenSteps)}, Outcome::Stopped},
      {"", "a act", true, 0, 8, {}, Outcome::ErrorReport},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.FailIn) + c.ThrowIn + (c.Identified ? "" : "no target"));
    reporter = {};
    reporter.StopAtLook = c.StopAtLook;
    failIn = c.FailIn;
    throwIn = c.ThrowIn;
    const OperationStep steps[] = {Step("a"), Step("b")};
    const FrameTarget target{kModeAvr, 19200,
                             [&](OperationRun&) {
                               reporter.Lines.push_back("identify");
                               return c.Identified;
                             },
                             ""};
    OperationRun run(reporter);
    EXPECT_EQ(RunFrame(unit, run, target, steps), c.Result);
    Lines expected(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(c.PhasesRun));
    // A refusal's line follows the phase that refused; a failure's, the act that failed.
    const auto at = std::find(expected.begin(), expected.end(), std::string(c.FailIn));
    expected.insert(at == expected.end() ? expected.end() : at + 1, c.Extra.begin(), c.Extra.end());
    EXPECT_EQ(reporter.Lines, expected);
    EXPECT_EQ(reporter.Errors.size(), *c.ThrowIn ? 1u : 0u);
    EXPECT_FALSE(sim.Devices()[0]->Open);
    EXPECT_EQ(sim.Devices()[0]->Mask, 0) << "pins released";
    EXPECT_EQ(unit.FtHandle, 0u);
  }
}

TEST_F(FrameOrder, AProgrammerThatDoesNotOpenIsReportedInTheFamilysWords) {
  sim::SimFt232r none;
  D2XXUnit noUnit(none);
  const OperationStep steps[] = {Step("a")};
  for (const std::string openFailure : {"", "Ошибка выполнения. Возможно не подключен программатор"}) {
    reporter = {};
    OperationRun run(reporter);
    EXPECT_EQ(RunFrame(noUnit, run, {kModeAvr, 19200, nullptr, openFailure}, steps), Outcome::ErrorReport);
    const std::string failedCall = "FT_Open - Device not found...";
    // The family's words take the error report; the failed call with its status is logged.
    EXPECT_EQ(reporter.Lines, openFailure.empty() ? Lines{"a inputs"} : (Lines{"a inputs", failedCall}));
    ASSERT_EQ(reporter.Errors.size(), 1u);
    EXPECT_EQ(reporter.Errors[0], openFailure.empty() ? failedCall : openFailure);
  }
}

TEST(OperationRunProgress, PositionsStayWithinTheBar) {
  test::RecordingReporter reporter;
  OperationRun run(reporter);
  run.StartProgress(-5);
  run.Progress(3);
  run.StartProgress(10);
  run.Progress(-1);
  run.Progress(4);
  run.Progress(12);
  run.EndProgress();
  using P = std::pair<std::int64_t, std::int64_t>;
  EXPECT_EQ(reporter.Positions, (std::vector<P>{{0, 0}, {0, 0}, {0, 10}, {0, 10}, {4, 10}, {10, 10}, {0, 0}}));
}

}  // namespace
}  // namespace pw
