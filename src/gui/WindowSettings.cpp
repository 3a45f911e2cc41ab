#include "gui/WindowSettings.h"

#include <algorithm>

namespace pw::gui {
namespace {

constexpr const char* kLastFolder = "files/lastFolder";

/// A page's type is remembered under "types/" and the page's name.
QString TypeKey(const PageEntry& page) { return QString::fromStdString("types/" + page.Name); }

void SaveChoice(QSettings& store, const QString& key, const ComboBox& combo) {
  if (combo.ItemIndex < 0 || combo.ItemIndex >= static_cast<int>(combo.Items.size())) return;
  store.setValue(key, QString::fromStdString(combo.Items[static_cast<std::size_t>(combo.ItemIndex)]));
}

void RestoreChoice(const QSettings& store, const QString& key, TForm1& form, ComboBox& combo) {
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
  for (const PageEntry& page : form.Pages()) {
    if (page.TypeList != nullptr) SaveChoice(store_, TypeKey(page), *page.TypeList);
  }
}

void WindowSettings::RestoreTypes(TForm1& form) {
  for (const PageEntry& page : form.Pages()) {
    if (page.TypeList != nullptr) RestoreChoice(store_, TypeKey(page), form, *page.TypeList);
  }
}

}  // namespace pw::gui
