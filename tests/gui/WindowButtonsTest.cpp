// The window's verify and blank-check buttons, its hints, its look while an operation runs and
// its command line.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <regex>

#include "gui/MainWindow.h"
#include "gui/TestApp.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

/// Every button and input of the window, Стоп aside.
QList<QWidget*> Inputs(const gui::MainWindow& window) {
  QList<QWidget*> all;
  for (auto* w : window.findChildren<QAbstractButton*>()) {
    // The tab bar's own scroll arrows are Qt's, not the window's.
    if (w->objectName() != "StopButton" && !qobject_cast<QTabBar*>(w->parent())) all << w;
  }
  for (auto* w : window.findChildren<QComboBox*>()) all << w;
  for (auto* w : window.findChildren<QLineEdit*>()) {
    if (!qobject_cast<QComboBox*>(w->parent())) all << w;
  }
  return all;
}

struct ButtonCase {
  const char* Button;
  /// The page's file handler, given a file of one byte 0x12 (unlike the erased chip); or none.
  void (*Load)(TForm1&);
  const char* File;
  const char* Line;
  Outcome Ends;
};

TEST(WindowButtons, VerifyAndBlankCheckRunTheirOperationsOnTheChips) {
  test::TestApp();
  const ButtonCase cases[] = {
      {"AvrVerifyFls", [](TForm1& t) { t.Avr.AvrLoadFlsClick(); }, "f.bin", "Всего различий: 1",
       Outcome::TargetProblem},
      {"AvrVerifyEep", [](TForm1& t) { t.Avr.AvrLoadEepClick(); }, "e.bin", "Всего различий: 1",
       Outcome::TargetProblem},
      {"AvrBlankCheck", nullptr, "", "Флеш чистая", Outcome::Success},
      {"I2cEepromVerify", [](TForm1& t) { t.I2c.I2cEepromFileClick(); }, "i.bin", "Всего различий: 1",
       Outcome::TargetProblem},
      {"PicVerify", [](TForm1& t) { t.Pic.PicFileClick(); }, "p.hex", "Всего различий:", Outcome::TargetProblem},
      {"SpiFlashVerifyButton", [](TForm1& t) { t.Spi.SpiFlashFileClick(); }, "s.bin", "Всего различий: 1",
       Outcome::TargetProblem},
  };
  for (const ButtonCase& c : cases) {
    SCOPED_TRACE(c.Button);
    test::FormFixture f(std::string(c.Button).starts_with("Spi") ? "[SPI]\nPart=W25Q16\n" : "");
    for (const char* file : {"chips.ini", "PIC.ini", "I2C_E.ini", "SpiFlash.ini"}) f.InstallDataFile(file);
    f.Start();
    f.Form->Pic.PicType.Text = "PIC16F628A";
    f.Form->Pic.PicTypeChange();
    f.Form->I2c.I2eEepromType.Text = "24C256";
    f.Form->I2c.ShowI2cType();
    const bool hex = std::string(c.File).ends_with(".hex");
    f.Host.Files = {f.Dir.Write(c.File, hex ? ":020000001200EC\r\n:00000001FF\r\n" : "\x12").string()};
    if (c.Load) c.Load(*f.Form);
    gui::MainWindow window(*f.Form, nullptr);
    window.findChild<QAbstractButton*>(c.Button)->click();
    EXPECT_EQ(f.Form->LastOutcome(), c.Ends);
    const auto& lines = f.Form->Log.Lines;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(c.Line); }))
        << (lines.empty() ? "" : lines.back());
  }
}

struct WindowTest : ::testing::Test {
  QApplication& app = test::TestApp();
  test::FormFixture f;
  gui::MainWindow window{f.Start(), nullptr};
};

TEST_F(WindowTest, EveryButtonAndInputSaysWhatItDoesAndTheTitleNamesTheVirtualProgrammer) {
  EXPECT_GT(Inputs(window).size(), 100);
  for (QWidget* w : Inputs(window)) EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
  const QString title = window.windowTitle();
  window.MarkVirtual();
  EXPECT_EQ(window.windowTitle(), title + " — виртуальный программатор");
}

TEST_F(WindowTest, WhileAnOperationRunsOnlyStopCanBeClicked) {
  auto* stop = window.findChild<QAbstractButton*>("StopButton");
  auto* tabs = window.findChild<QTabWidget*>("PageControl1")->tabBar();
  f.Form->Fire([&] {
    window.Binder().SyncAll();  // what the operation's ProcessEvents does
    for (QWidget* w : Inputs(window)) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(stop->isEnabled() && !tabs->isEnabled());
  });
  window.Binder().SyncAll();
  EXPECT_TRUE(!stop->isEnabled() && tabs->isEnabled());
  EXPECT_TRUE(window.findChild<QWidget*>("AvrRdSign")->isEnabled()) << "the model's own state is back";
}

struct CommandLineCase {
  std::vector<std::string> Args;
  int Status;
  /// What standard output must be, and a line standard error must hold (Qt may add its own).
  const char* Out;
  const char* ErrLine;
};

TEST(WindowCommandLine, HelpVersionAndMistakesAnswerWithoutAWindow) {
  const CommandLineCase cases[] = {
      {{"--help"}, 0, "Использование: pinwright [\\s\\S]*pinwright-cli --help\n", nullptr},
      {{"--simulator", "-V"}, 0, "pinwright [0-9]+\\.[0-9]+\n", nullptr},
      {{"--simulatr"}, 2, "", "pinwright: неизвестный параметр «--simulatr»; справка: pinwright --help\n"},
      {{"--device"}, 2, "", "pinwright: после --device нужен серийный номер программатора"},
  };
  test::TempDir dir;
  for (const CommandLineCase& c : cases) {
    SCOPED_TRACE(c.Args[0]);
    const test::CliResult r = test::RunProgram((test::BinDir() / "pinwright").string(), c.Args, dir.Path());
    EXPECT_EQ(r.Status, c.Status);
    EXPECT_TRUE(std::regex_match(r.Out, std::regex(c.Out))) << r.Out;
    if (c.ErrLine) {
      EXPECT_NE(r.Err.find(c.ErrLine), std::string::npos) << r.Err;
    }
  }
}

}  // namespace
}  // namespace pw
