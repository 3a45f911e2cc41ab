#pragma once
/// @file
/// The person at the window: file dialogs, message boxes, pending events, progress redraws.

#include <QWidget>

#include "model/UiHost.h"

namespace pw::gui {

class WidgetBinder;
class WindowSettings;

class QtHost : public UiHost {
 public:
  /// Dialogs open over window; the binder refreshes the widgets when events are processed.
  void Attach(QWidget* window, WidgetBinder* binder) {
    window_ = window;
    binder_ = binder;
  }

  /// The dialogs open in the remembered folder and remember the folder of the file chosen.
  void UseSettings(WindowSettings* settings) { settings_ = settings; }
  /// The next open dialog answers with file without showing itself; nothing withdraws that.
  void OfferOpenFile(const std::optional<std::string>& file) { offered_ = file; }

  std::optional<std::string> ChooseOpenFile(const std::string& filter) override;
  std::optional<std::string> ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ProcessEvents() override;
  void RepaintProgress(const ProgressBar& bar) override;

 private:
  QWidget* window_ = nullptr;
  WidgetBinder* binder_ = nullptr;
  WindowSettings* settings_ = nullptr;
  std::optional<std::string> offered_;

  QString StartFolder() const;
  void RememberFolderOf(const QString& file);
};

/// A filter in "Description|*.ext|..." pairs as Qt's file dialogs write it.
QString QtFileFilter(const std::string& filter);

}  // namespace pw::gui
