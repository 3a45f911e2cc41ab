#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "d2xx/FtEepromImage.h"
#include "gui/MainWindow.h"
#include "gui/QtHost.h"
#include "gui/TestApp.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

QApplication& App() { return test::TestApp(); }

struct MainWindowTest : ::testing::Test {
  MainWindowTest() {
    App();
    f.Start();
    window = std::make_unique<gui::MainWindow>(*f.Form, nullptr);
  }
  template <class W>
  W* Widget(const char* name) {
    return window->findChild<W*>(name);
  }
  test::FormFixture f;
  std::unique_ptr<gui::MainWindow> window;
};

TEST_F(MainWindowTest, TheWindowHasItsCaptionSizeAndFivePages) {
  EXPECT_EQ(window->windowTitle(), "PinwrightV3.4");
  EXPECT_EQ(window->minimumSize(), QSize(726, 456));
  EXPECT_EQ(window->maximumSize(), QSize(726, 456));
  auto* tabs = Widget<QTabWidget>("PageControl1");
  ASSERT_NE(tabs, nullptr);
  QStringList captions;
  for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
  EXPECT_EQ(captions, (QStringList{"AVR", "PIC", "I2C Eeprom", "SPI Flash", "Настройки"}));
  EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST_F(MainWindowTest, EveryControlOfTheModelIsAWidgetOfTheSameName) {
  for (const ControlRef& c : f.Form->Controls()) {
    const ControlBase& base = BaseOf(c);
    QWidget* w = window->findChild<QWidget*>(QString::fromStdString(base.Name));
    ASSERT_NE(w, nullptr) << base.Name;
    if (!std::get_if<TabSheet*>(&c)) {
      EXPECT_EQ(w->isEnabled(), base.Enabled) << base.Name;
    }
  }
}

TEST_F(MainWindowTest, WidgetsShowTheModelsCaptions) {
  EXPECT_EQ(Widget<QPushButton>("AvrRdSign")->text(), "Определить чип");
  EXPECT_EQ(Widget<QGroupBox>("AvrFuses")->title(), "Фьюзы и защита галочка = 1");
  EXPECT_EQ(Widget<QCheckBox>("CheckBox1")->text(), "Очищать лог");
  EXPECT_EQ(Widget<QComboBox>("PicType")->currentText(), "PIC-Type");
  EXPECT_EQ(Widget<QComboBox>("BoudRate")->currentText(), "19200");
  EXPECT_EQ(Widget<QComboBox>("BoudRate")->count(), 10);
  EXPECT_EQ(Widget<QComboBox>("BoudRate")->itemText(9), "авто");
  EXPECT_EQ(Widget<QLabel>("SetupNote")->text(), "После прошивки настроек программатор необходимо переподключить.");
  EXPECT_FALSE(Widget<QComboBox>("SetupClock")->isEditable());
  EXPECT_TRUE(Widget<QComboBox>("BoudRate")->isEditable());
}

TEST(MainWindowSpiFlash, A32MbitChipRoundTripsAnImageThroughTheWidgets) {
  App();
  test::FormFixture f("[SPI]\nPart=W25Q32\n");
  f.InstallDataFile("SpiFlash.ini");
  f.Start();
  gui::MainWindow window(*f.Form, nullptr);
  const auto widget = [&](const char* name) { return window.findChild<QWidget*>(name); };
  window.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(3);
  EXPECT_GT(window.findChild<QComboBox*>("SpiFlashType")->count(), 40);
  EXPECT_FALSE(widget("SpiFlashWrite")->isEnabled());
  // A 1 MiB image: the read that follows still covers all 4 MiB of the chip.
  std::vector<std::uint8_t> image(1u << 20);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>((i * 131) ^ (i >> 12));
  f.Dir.Write("image.bin", std::string(image.begin(), image.end()));
  f.Host.Files = {(f.Dir / "image.bin").string(), (f.Dir / "back.bin").string()};
  static_cast<QPushButton*>(widget("SpiFlashFile"))->click();
  EXPECT_EQ(window.findChild<QLabel*>("SpiFlashLab1")->text().toStdString(), (f.Dir / "image.bin").string());
  ASSERT_TRUE(widget("SpiFlashWrite")->isEnabled());
  static_cast<QPushButton*>(widget("SpiFlashWrite"))->click();
  static_cast<QPushButton*>(widget("SpiFlashRead"))->click();
  EXPECT_TRUE(f.Host.Errors.empty());
  EXPECT_EQ(window.findChild<QComboBox*>("SpiFlashType")->currentText(), "W25Q32");
  std::ifstream in(f.Dir / "back.bin", std::ios::binary);
  std::vector<std::uint8_t> back((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(back.size(), 4u << 20);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), back.begin()));
  EXPECT_TRUE(std::all_of(back.begin() + static_cast<std::ptrdiff_t>(image.size()), back.end(),
                          [](std::uint8_t b) { return b == 0xFF; }));
}

TEST_F(MainWindowTest, ClicksAndTicksReachTheModelAndItsChangesReachTheWidgets) {
  int clicks = 0;
  f.Form->Avr.AvrRdSign.OnClick = [&] {
    ++clicks;
    f.Form->Log.Append("первая строка");
    f.Form->Avr.AvrErase.Enabled = true;
  };
  Widget<QPushButton>("AvrRdSign")->click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Widget<QPlainTextEdit>("Log")->toPlainText(), "первая строка");
  EXPECT_TRUE(Widget<QPushButton>("AvrErase")->isEnabled());
  Widget<QCheckBox>("CheckBox1")->setChecked(true);
  EXPECT_TRUE(f.Form->CheckBox1.Checked);
  f.Form->Log.Clear();
  f.Form->Log.Append("после очистки");
  window->Binder().SyncAll();
  EXPECT_EQ(Widget<QPlainTextEdit>("Log")->toPlainText(), "после очистки");
}

TEST_F(MainWindowTest, TheSettingsPageReadsWhenShownAndProgramsWhatIsTyped) {
  auto* tabs = Widget<QTabWidget>("PageControl1");
  tabs->setCurrentIndex(4);
  auto* cbus = Widget<QComboBox>("SetupCbus");
  auto* current = Widget<QComboBox>("SetupCurrent");
  auto* clock = Widget<QComboBox>("SetupClock");
  EXPECT_TRUE(cbus->isEnabled());
  EXPECT_EQ(cbus->currentText(), "SLEEP");
  EXPECT_EQ(current->currentText(), "90");
  EXPECT_EQ(Widget<QComboBox>("UsbVer")->currentText(), "2.0");
  EXPECT_EQ(clock->currentText(), "внутренний генератор");
  EXPECT_TRUE(Widget<QPushButton>("SetupWrite")->isEnabled());
  // A person types a current that is no entry, picks an entry and the crystal, then programs.
  current->lineEdit()->setText("120");
  emit current->lineEdit()->textEdited("120");
  cbus->setCurrentIndex(2);
  emit cbus->activated(2);
  clock->setCurrentIndex(1);
  emit clock->activated(1);
  f.Host.Answers = {true};  // the external crystal is asked about
  Widget<QPushButton>("SetupWrite")->click();
  EXPECT_TRUE(f.Host.Errors.empty());
  EXPECT_EQ(f.Form->Log.Lines.back(), "настройки прошиты");
  const FtEepromImage& image = f.Sim().Devices()[0]->Eeprom;
  EXPECT_EQ(image[0x16], 8);   // CLK12
  EXPECT_EQ(image[0x09], 60);  // 120 mA
  EXPECT_EQ(image[0x00] & 0x02, 0x02);
  tabs->setCurrentIndex(0);
  tabs->setCurrentIndex(4);  // showing the page again reads again
  EXPECT_EQ(cbus->currentText(), "CLK12");
  EXPECT_EQ(current->currentText(), "120");
  EXPECT_EQ(clock->currentText(), "внешний кварц");
}

TEST(PicPageWindow, ChoosingATypeRedrawsTheConfigurationPanel) {
  App();
  test::FormFixture f;
  f.InstallDataFile("PIC.ini");
  f.Start();
  gui::MainWindow window(*f.Form, nullptr);
  window.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
  auto* id = window.findChild<QLineEdit*>("PicID");
  EXPECT_EQ(id->text(), "FFFF FFFF FFFF FFFF FFFF FFFF ");
  EXPECT_EQ(window.findChild<QCheckBox*>("PicFuse14")->text(), "CP");  // PIC16F84A, the first type
  EXPECT_TRUE(window.findChild<QCheckBox*>("PicFuse14")->isEnabled());
  // The group selector sits in the caption line, above the checkboxes; one word needs none.
  auto* group = window.findChild<QComboBox*>("PicFuseGroup");
  EXPECT_FALSE(group->isEnabled());
  EXPECT_LT(group->geometry().bottom(), window.findChild<QCheckBox*>("PicFuse25")->geometry().top());
  auto* type = window.findChild<QComboBox*>("PicType");
  const int index = type->findText("PIC12F508");
  type->setCurrentIndex(index);
  emit type->activated(index);  // what a person's choice sends
  EXPECT_EQ(f.Form->Pic.FlashSize(), 512);
  EXPECT_EQ(id->text(), "$FFFF $FFFF $FFFF $FFFF $FFFF $FFFF $FFFF ");
  EXPECT_EQ(window.findChild<QCheckBox*>("PicFuse4")->text(), "CP");
  EXPECT_FALSE(window.findChild<QCheckBox*>("PicFuse14")->isEnabled());
  EXPECT_TRUE(window.findChild<QPushButton*>("PicEraseAll")->isEnabled());
  window.findChild<QCheckBox*>("PicFuse1")->setChecked(false);
  f.Form->Pic.TakePicConfig();
  EXPECT_EQ(f.Form->Images.ConfigImage[14], 0xFE);
}

TEST(QtFileFilter, DescriptionAndPatternPairsBecomeQtFilters) {
  EXPECT_EQ(gui::QtFileFilter("Intel HEX|*.hex|Все файлы|*.*"), "Intel HEX (*.hex);;Все файлы (*.*)");
  EXPECT_EQ(gui::QtFileFilter("HEX|*.hex;*.ihx"), "HEX (*.hex *.ihx)");
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

TEST_F(MainWindowTest, StopAndEscapeReachTheRunningOperationOnly) {
  auto* stop = Widget<QPushButton>("StopButton");
  ASSERT_NE(stop, nullptr);
  EXPECT_EQ(stop->text(), "Стоп");
  EXPECT_FALSE(stop->isEnabled()) << "nothing runs";
  auto* escape = window->findChild<QShortcut*>();
  ASSERT_NE(escape, nullptr);
  EXPECT_EQ(escape->key(), QKeySequence(Qt::Key_Escape));
  emit escape->activated();
  EXPECT_FALSE(f.Form->Context().Stop.Requested()) << "no operation to stop";
  // Mid-operation (inside a handler run by the frame), as the event loop delivers them then.
  bool byClick = false;
  bool byEscape = false;
  f.Form->Fire([&] {
    window->Binder().SyncAll();
    EXPECT_TRUE(stop->isEnabled());
    stop->click();
    byClick = f.Form->Context().Stop.Requested();
    f.Form->Context().Stop.Clear();
    emit escape->activated();
    byEscape = f.Form->Context().Stop.Requested();
  });
  EXPECT_TRUE(byClick);
  EXPECT_TRUE(byEscape);
}

}  // namespace
}  // namespace pw
