#include "gui/WindowSettings.h"

#include <algorithm>

namespace pw::gui {
namespace {

constexpr const char* kLastFolder = "files/lastFolder";
constexpr const char* kPicType = "types/pic";
constexpr const char* kI2cType = "types/i2c";

void SaveChoice(QSettings& store, const char* key, const ComboBox& combo) {
  if (combo.ItemIndex < 0 || combo.ItemIndex >= static_cast<int>(combo.Items.size())) return;
  store.setValue(key, QString::fromStdString(combo.Items[static_cast<std::size_t>(combo.ItemIndex)]));
}

void RestoreChoice(const QSettings& store, const char* key, TForm1& form, ComboBox& combo) {
  const std::string wanted = store.value(key).toString().toStdString();
  const auto found = std::find(combo.Items.begin(), combo.Items.end(), wanted);
  if (wanted.empty() || found == combo.Items.end()) return;
  const int index = static_cast<int>(found - combo.Items.begin());
  if (index == combo.ItemIndex) return;
  form.Fire([&combo, index] {
    combo.Select(index);
    if (combo.OnChange) combo.OnChange();
  });
}

}  // namespace

QString WindowSettings::LastFolder() const { return store_.value(kLastFolder).toString(); }

void WindowSettings::SetLastFolder(const QString& folder) { store_.setValue(kLastFolder, folder); }

void WindowSettings::SaveTypes(const TForm1& form) {
  SaveChoice(store_, kPicType, form.Pic.PicType);
  SaveChoice(store_, kI2cType, form.I2c.I2eEepromType);
}

void WindowSettings::RestoreTypes(TForm1& form) {
  RestoreChoice(store_, kPicType, form, form.Pic.PicType);
  RestoreChoice(store_, kI2cType, form, form.I2c.I2eEepromType);
}

}  // namespace pw::gui
