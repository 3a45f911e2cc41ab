#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTranslator>

#include "gui/QtTranslations.h"
#include "gui/TestApp.h"
#include "gui/WindowSettings.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

struct SettingsCase {
  /// What the store holds before the first run; empty: nothing.
  QString StoredPic;
  /// The types a person picks in the first run; empty: none.
  std::string PickPic;
  std::string PickI2c;
  /// Whether the first run finds PIC.ini (without it the PIC list is empty).
  bool PicIni;
  std::string PicAtNextStart;
  std::string I2cAtNextStart;
};

/// Starts a model, lets the person pick, saves; then starts another and restores from the file.
TEST(WindowSettings, TheChosenTypesAndTheLastFolderComeBackAtTheNextStart) {
  test::TestApp();
  const SettingsCase cases[] = {
      {"", "PIC12F508", "24C256", true, "PIC12F508", "24C256"},
      {"", "", "", true, "PIC16F84A", "24C01"},                 // nothing picked: the lists' first entries
      {"PIC12F508", "", "24C02", false, "PIC12F508", "24C02"},  // a run without PIC.ini forgets nothing
      {"PIC99Z", "", "", true, "PIC16F84A", "24C01"},           // a type no longer listed stays unchosen
  };
  for (const SettingsCase& c : cases) {
    SCOPED_TRACE(c.PicAtNextStart + " " + c.I2cAtNextStart);
    test::TempDir dir;
    const QString file = QString::fromStdString((dir / "pinwright.ini").string());
    {
      QSettings store(file, QSettings::IniFormat);
      if (!c.StoredPic.isEmpty()) store.setValue("types/pic", c.StoredPic);
      test::FormFixture first;
      if (c.PicIni) first.InstallDataFile("PIC.ini");
      first.InstallDataFile("I2C_E.ini");
      first.Start();
      auto pick = [&](ComboBox& combo, const std::string& name) {
        const auto it = std::find(combo.Items.begin(), combo.Items.end(), name);
        ASSERT_NE(it, combo.Items.end()) << name;
        first.Form->Fire([&] {
          combo.Select(static_cast<int>(it - combo.Items.begin()));
          combo.OnChange();
        });
      };
      if (!c.PickPic.empty()) pick(first.Form->Pic.PicType, c.PickPic);
      if (!c.PickI2c.empty()) pick(first.Form->I2c.I2eEepromType, c.PickI2c);
      gui::WindowSettings settings(store);
      settings.SaveTypes(*first.Form);
      settings.SetLastFolder(QString::fromStdString(dir.Path().string()));
    }
    QSettings store(file, QSettings::IniFormat);
    test::FormFixture next;
    next.InstallDataFile("PIC.ini");
    next.InstallDataFile("I2C_E.ini");
    next.Start();
    gui::WindowSettings settings(store);
    settings.RestoreTypes(*next.Form);
    EXPECT_EQ(settings.LastFolder().toStdString(), dir.Path().string());
    EXPECT_EQ(next.Form->Pic.PicType.Text, c.PicAtNextStart);
    EXPECT_EQ(next.Form->I2c.I2eEepromType.Text, c.I2cAtNextStart);
    EXPECT_TRUE(next.Host.Errors.empty());
    // The pages were redrawn for the restored types.
    if (c.PicAtNextStart == "PIC12F508") {
      EXPECT_EQ(next.Form->Pic.FlashSize(), 512);
    }
    if (c.I2cAtNextStart == "24C256") {
      EXPECT_EQ(next.Form->I2c.EepromSize, 32768);
    }
  }
}

TEST(QtTranslations, QtsOwnTextsAreRussianWhenItsTranslationsAreInstalled) {
  QApplication& app = test::TestApp();
  test::TempDir empty;
  const QString installed = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const struct {
    QString Folder;
    bool Loads;
  } cases[] = {
      {installed, QFile::exists(installed + "/qtbase_ru.qm")},
      {QString::fromStdString(empty.Path().string()), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Folder.toStdString());
    QTranslator* translator = gui::InstallQtTranslations(app, c.Folder);
    EXPECT_EQ(translator != nullptr, c.Loads);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), c.Loads ? "Отмена" : "Cancel");
    if (translator) {
      QCoreApplication::removeTranslator(translator);
      delete translator;
    }
  }
}

}  // namespace
}  // namespace pw
