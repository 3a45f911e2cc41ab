#pragma once
/// @file
/// A HEX or BIN file dropped on a page: the page's file button is clicked with the dropped file
/// as the answer of its open dialog, so the file loads exactly as a chosen one would. The click
/// comes once the drop has been handed over (at the next turn of the event loop).

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "app/Form1.h"
#include "gui/WidgetBinder.h"

class QDropEvent;
class QMimeData;
class QPushButton;

namespace pw::gui {

/// The one local file that mime carries when its name ends in .hex or .bin (any case); empty
/// otherwise (no file, several files, another kind).
QString DroppedImageFile(const QMimeData& mime);

class FileDrop : public QObject {
  Q_OBJECT
 public:
  /// Answers the next open dialog with a file; nothing withdraws the answer.
  using Offer = std::function<void(const std::optional<std::string>& file)>;

  /// Takes the drops on window, whose widgets binder built for form.
  FileDrop(QWidget& window, TForm1& form, const WidgetBinder& binder);
  void SetOffer(Offer offer) { offer_ = std::move(offer); }

  /// The file button a drop at pos (window coordinates) goes to, or null where nothing takes a
  /// file: no target on that page, the button disabled, or an operation running.
  QPushButton* TargetAt(QPoint pos) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Takes a drop where a page's file button is enabled and loads the file through it.
  void Drop(QDropEvent& drop);
  /// Clicks target with file as its dialog's answer; the answer is withdrawn afterwards even
  /// when the click did nothing with it.
  void Load(QPushButton* target, const QString& file);

  QWidget& window_;
  TForm1& form_;
  const WidgetBinder& binder_;
  Offer offer_;
};

}  // namespace pw::gui
