#include <gtest/gtest.h>

#include "common/Error.h"
#include "frame/Texts.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

struct FrameTest : ::testing::Test {
  FrameTest() { f.Start(); }
  TForm1& Form() { return *f.Form; }
  test::FormFixture f;
};

TEST_F(FrameTest, AnErrorReachesTheGeneralReportAndTheLogKeepsItsLines) {
  Form().Fire([&] {
    Form().Log.Append("начало");
    throw PinwrightError("FT_Write - General IO error...");
  });
  EXPECT_EQ(f.Host.Errors, (std::vector<std::string>{"FT_Write - General IO error..."}));
  EXPECT_EQ(Form().Log.Lines, (std::vector<std::string>{"начало"}));
  EXPECT_EQ(Form().LastOutcome(), Outcome::ErrorReport);
  EXPECT_FALSE(Form().Busy());
}

TEST_F(FrameTest, NoSecondOperationStartsWhileOneRuns) {
  int inner = 0;
  bool started = true;
  Form().Fire([&] {
    EXPECT_TRUE(Form().Busy());
    // What a click would do while the window processes events mid-operation.
    started = Form().Fire([&] { ++inner; });
  });
  EXPECT_FALSE(started);
  EXPECT_EQ(inner, 0);
  EXPECT_TRUE(Form().Fire([&] { ++inner; }));
  EXPECT_EQ(inner, 1);
}

TEST_F(FrameTest, OutcomesAreKeptPerOperation) {
  Form().Fire([&] { Form().Context().Adopt(Outcome::TargetProblem); });
  EXPECT_EQ(Form().LastOutcome(), Outcome::TargetProblem);
  Form().Fire([&] { Form().Context().ReportError(texts::kNoProgrammer); });
  EXPECT_EQ(Form().LastOutcome(), Outcome::ErrorReport);
  EXPECT_EQ(f.Host.Errors.back(), "Ошибка выполнения. Возможно не подключен программатор");
  Form().Fire([] {});
  EXPECT_EQ(Form().LastOutcome(), Outcome::Success);
}

TEST_F(FrameTest, TheLogIsClearedOnlyWhenTheBoxIsTicked) {
  Form().Log.Append("старое");
  Form().Context().ClearLogIfTicked();
  EXPECT_EQ(Form().Log.Lines.size(), 1u);
  Form().CheckBox1.Checked = true;
  Form().Context().ClearLogIfTicked();
  EXPECT_TRUE(Form().Log.Lines.empty());
}

TEST_F(FrameTest, AnOperationThatFailsMidWayLeavesTheProgrammerClosed) {
  f.Sim().Faults().FailCall(sim::SimCall::Write, 3, FT_IO_ERROR);  // after the start pulse's two writes
  Form().Fire([&] {
    ProgrammerSession session(Form().Unit, kModeAvr, Form().ProgrammerBaud);
    Form().Unit.ExchangeOne(0x00);
    session.Close();
  });
  EXPECT_EQ(f.Host.Errors, (std::vector<std::string>{"FT_Write - General IO error..."}));
  EXPECT_EQ(Form().Unit.FtHandle, 0u);
  EXPECT_FALSE(f.Sim().Devices()[0]->Open);
}

TEST_F(FrameTest, ShowingAPageRunsItsShowEventOnce) {
  int shown = 0;
  Form().Pic.PIC.OnShow = [&] { ++shown; };
  Form().ShowPage(1);
  Form().ShowPage(1);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(Form().PageControl1.ActivePageIndex, 1);
  Form().ShowPage(3);
  EXPECT_EQ(Form().PageControl1.ActivePageIndex, 3);
}

}  // namespace
}  // namespace pw
