#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <memory>

#include "gui/MainWindow.h"
#include "gui/TestApp.h"
#include "layout/LayoutFaults.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

// Deep enough that every path label has to shorten it.
constexpr const char* kFolder = "образы микросхем для проверки раскладки окна на стенде";

/// The window on the virtual programmer, shown on the display the test runs on.
struct LayoutBench {
  LayoutBench() {
    test::TestApp();
    for (const char* file : {"PIC.ini", "I2C_E.ini", "SpiFlash.ini", "chips.ini"}) f.InstallDataFile(file);
    f.Start();
    window = std::make_unique<gui::MainWindow>(*f.Form, nullptr);
    window->show();
    shots = qEnvironmentVariable("PINWRIGHT_LAYOUT_SHOTS", "layout-shots");
    QDir().mkpath(shots);
  }
  template <class W>
  W* Widget(const char* name) {
    return window->findChild<W*>(name);
  }
  void Choose(const char* combo, const char* text) {
    auto* box = Widget<QComboBox>(combo);
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << combo << " lists no " << text;
    box->setCurrentIndex(index);
    emit box->activated(index);
  }
  void Load(const char* button, const std::string& name, std::size_t size) {
    f.Dir.Write(std::string(kFolder) + "/" + name,
                name.ends_with(".hex") ? ":02000000FF3FC0\n:00000001FF\n" : std::string(size, '\x5A'));
    f.Host.Files.push_back((f.Dir / kFolder / name).string());
    Widget<QPushButton>(button)->click();
  }
  /// Saves the window as it looks and expects no layout fault on the page shown.
  void Check(const QString& shot) {
    QApplication::processEvents();
    window->grab().save(shots + "/" + shot + ".png");
    std::vector<QWidget*> controls;
    for (const ControlRef& c : f.Form->Controls()) {
      if (QWidget* w = window->Binder().WidgetNamed(QString::fromStdString(NameOf(c)))) controls.push_back(w);
    }
    std::string faults;
    for (const std::string& fault : test::LayoutFaults(controls)) faults += "\n  " + fault;
    EXPECT_TRUE(faults.empty()) << shot.toStdString() << ":" << faults;
  }
  /// Every page in turn, each saved as STATE-PAGE.png.
  void CheckPages(const char* state) {
    const auto& pages = f.Form->Pages();
    for (std::size_t i = 0; i < pages.size(); ++i) {
      Widget<QTabWidget>("PageControl1")->setCurrentIndex(static_cast<int>(i));
      Check(QString("%1-%2").arg(state, QString::fromStdString(pages[i].Name)));
    }
  }

  test::FormFixture f;
  std::unique_ptr<gui::MainWindow> window;
  QString shots;
};

/// The window's states, each on top of the one before; Reached names a control that the state
/// enables, so a state that did not come about fails rather than passing unseen.
struct State {
  const char* Name;
  void (*Enter)(LayoutBench&);
  const char* Reached;
};

const State kStates[] = {
    {"idle", [](LayoutBench&) {}, "AvrRdSign"},
    {"identified",
     [](LayoutBench& b) {
       b.Widget<QPushButton>("AvrRdSign")->click();
       b.Choose("PicType", "PIC12F508");
       b.Choose("I2eEepromType", "24C256");
       b.Choose("SpiFlashType", "W25Q32");
     },
     "AvrLoadFls"},
    {"loaded",
     [](LayoutBench& b) {
       b.Load("AvrLoadFls", "прошивка контроллера.bin", 256);
       b.Load("AvrLoadEep", "данные контроллера.bin", 64);
       b.Load("PicFile", "прошивка PIC.hex", 0);
       b.Load("I2cEepromFile", "данные 24C256.bin", 512);
       b.Load("SpiFlashFile", "образ W25Q32.bin", 4096);
     },
     "SpiFlashWrite"},
};

TEST(WindowLayout, NoTextIsClippedAndNoControlsOverlapOnAnyPageInAnyState) {
  LayoutBench b;
  for (const State& state : kStates) {
    SCOPED_TRACE(state.Name);
    state.Enter(b);
    EXPECT_TRUE(b.Widget<QWidget>(state.Reached)->isEnabled()) << state.Reached;
    b.CheckPages(state.Name);
  }
  // Mid-operation: the AVR page as its flash read lets the window handle events.
  bool seen = false;
  b.f.Host.OnEvents = [&] {
    if (std::exchange(seen, true)) return;
    b.window->Binder().SyncAll();
    b.Check("reading-avr");
  };
  b.f.Host.Files.push_back((b.f.Dir / kFolder / "прочитано.hex").string());
  b.Widget<QTabWidget>("PageControl1")->setCurrentIndex(0);
  b.Widget<QPushButton>("AvrReadFls")->click();
  EXPECT_TRUE(seen);
  EXPECT_TRUE(b.f.Host.Errors.empty()) << b.f.Host.Errors.front();
}

}  // namespace
}  // namespace pw
