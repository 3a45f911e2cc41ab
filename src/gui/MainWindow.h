#pragma once
/// @file
/// The program's one window: the window model rendered by the widget binder.

#include <QWidget>
#include <memory>

#include "app/Form1.h"
#include "gui/FileDrop.h"
#include "gui/QtHost.h"
#include "gui/WidgetBinder.h"

namespace pw::gui {

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  /// Builds the window over form; host, when given, is the UiHost form was made with and gets
  /// attached to this window. Start-up is the caller's (TForm1::FormCreate).
  MainWindow(TForm1& form, QtHost* host);
  WidgetBinder& Binder() { return *binder_; }
  /// Says in the title that the window runs on the virtual programmer.
  void MarkVirtual();
  /// Files dropped on the pages; answered through host's open dialog when one was given.
  FileDrop& Drops() { return *drops_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  TForm1& form_;
  WidgetBinder* binder_;
  FileDrop* drops_;
};

}  // namespace pw::gui
