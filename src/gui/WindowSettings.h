#pragma once
/// @file
/// What the window remembers between runs: the folder of the last file chosen in a dialog and
/// the type chosen on each page with a type list (PageEntry::TypeList).

#include <QSettings>
#include <QString>

#include "app/Form1.h"

namespace pw::gui {

class WindowSettings {
 public:
  /// Reads and writes store (the user's settings file; a scratch file in tests).
  explicit WindowSettings(QSettings& store) : store_(store) {}

  /// The folder the file dialogs open in; empty when none was remembered.
  QString LastFolder() const;
  void SetLastFolder(const QString& folder);

  /// Remembers the types chosen in form. A drop-down showing no entry of its list (its
  /// description file was missing this time) leaves the remembered type as it was.
  void SaveTypes(const TForm1& form);
  /// Chooses the remembered types as a person would, so that their pages redraw; a type the
  /// lists no longer hold is left unchosen. Run after start-up.
  void RestoreTypes(TForm1& form);

 private:
  QSettings& store_;
};

}  // namespace pw::gui
