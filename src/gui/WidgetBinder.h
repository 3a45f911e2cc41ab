#pragma once
/// @file
/// Builds a widget for every control of the window model and keeps the two in step: control
/// data is copied to the widgets at every sync point, and widget events (clicks, ticks, typed
/// texts, choices, page changes) go back to the model and its handlers.

#include <QHash>
#include <QString>
#include <QWidget>

#include "app/Form1.h"

class QTabWidget;

namespace pw::gui {

class WidgetBinder : public QObject {
  Q_OBJECT
 public:
  WidgetBinder(TForm1& form, QWidget& window);

  /// Copies every control's data to its widget.
  void SyncAll();
  /// Copies one progress bar and redraws it at once.
  void SyncAndRepaint(const ProgressBar& bar);
  /// The widget of the control named name, or null.
  QWidget* WidgetNamed(const QString& name) const { return widgets_.value(name); }

 private:
  void Build(const ControlRef& control);
  QWidget* ParentOf(const ControlBase& control) const;
  void Place(QWidget* widget, const ControlBase& control);
  void Connect(const ControlRef& control, QWidget* widget);
  // One per control kind that raises events; the other kinds raise none.
  void ConnectWidget(Button* button, QWidget* widget);
  void ConnectWidget(CheckBox* check, QWidget* widget);
  void ConnectWidget(ComboBox* combo, QWidget* widget);
  void ConnectWidget(Edit* edit, QWidget* widget);
  void ConnectWidget(PageControl* pages, QWidget* widget);
  void ConnectWidget(ControlBase*, QWidget*) {}
  void Sync(const ControlRef& control);
  /// Runs a handler through the window's frame, then shows its effects.
  void Fire(const std::function<void()>& handler);

  TForm1& form_;
  QWidget& window_;
  QHash<QString, QWidget*> widgets_;
  /// Per memo: the clears and lines already shown.
  QHash<QString, std::pair<std::size_t, std::size_t>> memoShown_;
  /// Set while the model is copied to the widgets, so that the copy raises no events.
  bool syncing_ = false;
};

}  // namespace pw::gui
