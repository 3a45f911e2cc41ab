#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <map>
#include <string_view>

#include "gui/ControlHints.h"
#include "gui/ElidedLabel.h"
#include "gui/FileTargets.h"
#include "gui/MainWindow.h"
#include "gui/TestApp.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

/// The window on a started model with the PIC and I2C lists, shown so that drops find widgets.
struct DropWindow {
  DropWindow() {
    test::TestApp();
    f.InstallDataFile("PIC.ini");
    f.InstallDataFile("I2C_E.ini");
    f.InstallDataFile("SpiFlash.ini");
    f.Start();
    window = std::make_unique<gui::MainWindow>(*f.Form, nullptr);
    window->Drops().SetOffer([this](const std::optional<std::string>& file) {
      f.Host.Files.clear();
      if (file) f.Host.Files.push_back(*file);
    });
    window->show();
  }
  test::FormFixture f;
  std::unique_ptr<gui::MainWindow> window;
};

struct DropCase {
  int Page;
  const char* At;
  const char* File;
  /// The path label that names the file after the drop; null: the drop is refused.
  const char* LoadsInto;
  /// A file button that is off at the time of the drop.
  const char* Off = "";
};

TEST(FileDrop, AFileDroppedOnAPageLoadsAsItsFileButtonWould) {
  const DropCase cases[] = {
      {0, "AvrPathFls", "fw.hex", "AvrPathFls"},
      {0, "AvrReadEep", "ee.hex", "AvrPathEep"},
      {0, "AvrParamEep", "ee.hex", "AvrPathEep"},
      {0, "AvrFuses", "FW.HEX", "AvrPathFls"},  // elsewhere on the page: its main file
      {0, "AvrRdSign", "notes.txt", nullptr},
      {0, "AvrPathFls", "fw.hex", nullptr, "AvrLoadFls"},
      {1, "PicConfigGroup", "pic.hex", "PicPathFls"},
      {1, "PicType", "pic.hex", "PicPathFls"},  // not typed into the type box
      {2, "I2cEepromLab2", "24c.hex", "I2cEepromLab1"},
      {3, "SpiFlashLab2", "fw.bin", "SpiFlashLab1"},
      {3, "SpiFlashLab1", "fw.txt", nullptr},
  };
  for (const DropCase& c : cases) {
    SCOPED_TRACE(std::string(c.At) + " " + c.File);
    DropWindow w;
    const std::string file = w.f.Dir.Write(c.File, ":0400000001020304F2\n:00000001FF\n").string();
    w.f.Form->Avr.AvrLoadFls.Enabled = w.f.Form->Avr.AvrLoadFls.Name != c.Off;
    w.f.Form->Avr.AvrLoadEep.Enabled = true;
    w.window->Binder().SyncAll();
    w.window->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(c.Page);
    QWidget* at = w.window->findChild<QWidget*>(c.At);
    ASSERT_NE(at, nullptr);
    // The events go where Qt would send them: to the widget under the cursor, whence they
    // travel up to the first that takes drops.
    QWidget* under = w.window->childAt(at->mapTo(w.window.get(), at->rect().center()));
    ASSERT_NE(under, nullptr);
    const QPoint pos = under->mapFrom(at, at->rect().center());
    std::map<std::string_view, std::string> before;
    for (const gui::FileTarget& t : gui::kFileTargets)
      before[t.PathLabel] = static_cast<const Label*>(w.f.Form->Find(std::string(t.PathLabel)))->Caption;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    mime.setText(QString::fromStdString(file));

    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(under, &enter);
    QDragMoveEvent move(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(under, &move);
    EXPECT_EQ(move.isAccepted(), c.LoadsInto != nullptr);
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(under, &drop);
    QCoreApplication::processEvents();

    EXPECT_TRUE(w.f.Host.Errors.empty());
    EXPECT_EQ(w.f.Form->Pic.PicType.Text, "PIC16F84A");
    EXPECT_TRUE(w.f.Host.Files.empty());  // no answer left for the next dialog
    for (const gui::FileTarget& t : gui::kFileTargets) {
      const auto* label = static_cast<const Label*>(w.f.Form->Find(std::string(t.PathLabel)));
      const bool loaded = c.LoadsInto && t.PathLabel == c.LoadsInto;
      EXPECT_EQ(label->Caption, loaded ? file : before[t.PathLabel]) << t.PathLabel;
      auto* shown = w.window->findChild<gui::ElidedLabel*>(Q(t.PathLabel));
      EXPECT_EQ(shown->toolTip().toStdString(), loaded ? file : before[t.PathLabel]) << t.PathLabel;
    }
  }
}

TEST(FileDrop, NoFileIsTakenWhileAnOperationRuns) {
  DropWindow w;
  QWidget* label = w.window->findChild<QWidget*>("AvrPathFls");
  const QPoint pos = label->mapTo(w.window.get(), label->rect().center());
  w.f.Form->Avr.AvrLoadFls.Enabled = true;
  w.window->Binder().SyncAll();
  ASSERT_NE(w.window->Drops().TargetAt(pos), nullptr);
  bool takenWhileBusy = true;
  w.f.Form->Avr.AvrRdSign.OnClick = [&] { takenWhileBusy = w.window->Drops().TargetAt(pos) != nullptr; };
  w.window->findChild<QPushButton*>("AvrRdSign")->click();
  EXPECT_FALSE(takenWhileBusy);
}

TEST(FileDrop, OnlyOneLocalHexOrBinFileIsTaken) {
  const struct {
    QList<QUrl> Urls;
    QString Taken;
  } cases[] = {
      {{QUrl::fromLocalFile("/d/a.hex")}, "/d/a.hex"},
      {{QUrl::fromLocalFile("/d/dump.BIN")}, "/d/dump.BIN"},
      {{QUrl::fromLocalFile("/d/fw.Rom")}, "/d/fw.Rom"},
      {{QUrl::fromLocalFile("/d/fw.elf")}, "/d/fw.elf"},
      {{QUrl::fromLocalFile("/d/a.eep")}, ""},
      {{QUrl::fromLocalFile("/d/a.hex"), QUrl::fromLocalFile("/d/b.hex")}, ""},
      {{QUrl("https://example.org/a.hex")}, ""},
      {{}, ""},
  };
  for (const auto& c : cases) {
    QMimeData mime;
    mime.setUrls(c.Urls);
    EXPECT_EQ(gui::DroppedImageFile(mime), c.Taken) << c.Taken.toStdString();
  }
}

TEST(FileDrop, EveryNameInTheHintAndFileTablesIsAWidgetOfItsKind) {
  DropWindow w;
  for (const gui::FileTarget& t : gui::kFileTargets) {
    EXPECT_NE(w.window->findChild<QWidget*>(Q(t.Page)), nullptr) << t.Page;
    EXPECT_NE(w.window->findChild<QPushButton*>(Q(t.Button)), nullptr) << t.Button;
    EXPECT_NE(w.window->findChild<gui::ElidedLabel*>(Q(t.PathLabel)), nullptr) << t.PathLabel;
    for (std::string_view a : t.Area) {
      EXPECT_TRUE(a.empty() || w.window->findChild<QWidget*>(Q(a))) << a;
    }
  }
  // A hint names a control, or the first of a numbered row of them.
  for (const gui::ControlHint& h : gui::kControlHints) {
    auto* widget = w.window->findChild<QWidget*>(Q(h.Control));
    if (!widget) widget = w.window->findChild<QWidget*>(Q(h.Control) + "1");
    ASSERT_NE(widget, nullptr) << h.Control;
    EXPECT_EQ(widget->toolTip(), Q(h.Text));
  }
}

TEST(ElidedLabel, ALongPathLosesItsMiddleAndComesBackWhenThereIsRoom) {
  test::TestApp();
  const QString longPath = "/home/someone/projects/boards/controller-rev-b/firmware/build/release/firmware.hex";
  const struct {
    int Width;
    int ResizedTo;
    QString Text;
    bool Whole;
  } cases[] = {
      {2000, 2000, longPath, true}, {160, 160, longPath, false}, {160, 2000, longPath, true},
      {2000, 160, longPath, false}, {160, 160, "a.hex", true},   {160, 160, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Width);
    QWidget parent;
    gui::ElidedLabel label(&parent);
    parent.show();  // a hidden widget learns of a resize only when shown
    label.resize(c.Width, 14);
    label.SetFullText(c.Text);
    label.resize(c.ResizedTo, 14);
    EXPECT_EQ(label.FullText(), c.Text);
    EXPECT_EQ(label.toolTip(), c.Text);
    if (c.Whole) {
      EXPECT_EQ(label.text(), c.Text);
    } else {
      EXPECT_NE(label.text(), c.Text);
      EXPECT_TRUE(label.text().contains(QChar(0x2026))) << label.text().toStdString();
      EXPECT_TRUE(label.text().startsWith("/home")) << label.text().toStdString();
      EXPECT_TRUE(label.text().endsWith(".hex")) << label.text().toStdString();
      EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()), c.ResizedTo);
    }
  }
}

}  // namespace
}  // namespace pw
