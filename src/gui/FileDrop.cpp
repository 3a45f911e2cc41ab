#include "gui/FileDrop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

#include "frame/ImageFiles.h"
#include "gui/FileTargets.h"

namespace pw::gui {
namespace {

/// The target a drop on hit goes to: the one whose controls hit lies in, else the first one of
/// the page hit lies on.
const FileTarget* TargetOf(const QWidget* hit, const QWidget* window) {
  const FileTarget* covering = nullptr;
  for (const QWidget* w = hit; w && w != window; w = w->parentWidget()) {
    const std::string name = w->objectName().toStdString();
    for (const FileTarget& t : kFileTargets) {
      if (!covering && t.Covers(name)) covering = &t;
      if (t.Page == name) return covering && covering->Page == t.Page ? covering : &t;
    }
  }
  return nullptr;
}

/// Takes a drag or a drop where the file can go, else turns it away.
void Answer(QDropEvent& event, bool takes) {
  if (takes) {
    event.acceptProposedAction();
  } else {
    event.ignore();
  }
}

}  // namespace

QString DroppedImageFile(const QMimeData& mime) {
  const QList<QUrl> urls = mime.urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QString file = urls.front().toLocalFile();
  const QString suffix = QFileInfo(file).suffix().toLower();
  // Any name the loaders take for a binary or ELF file (frame/ImageFiles.h), or a .hex one.
  const bool image = suffix == "hex" || FormatOf(file.toStdString()) != FileFormat::Hex;
  return image ? file : QString();
}

FileDrop::FileDrop(QWidget& window, TForm1& form, const WidgetBinder& binder)
    : QObject(&window), window_(window), form_(form), binder_(binder) {
  window_.setAcceptDrops(true);
  window_.installEventFilter(this);
  // A path dropped as text into a type or an ID box would only spoil it; the page takes it.
  for (QLineEdit* edit : window_.findChildren<QLineEdit*>()) edit->setAcceptDrops(false);
}

QPushButton* FileDrop::TargetAt(QPoint pos) const {
  if (form_.Busy()) return nullptr;
  const FileTarget* target = TargetOf(window_.childAt(pos), &window_);
  if (!target) return nullptr;
  auto* button = qobject_cast<QPushButton*>(binder_.WidgetNamed(QString::fromUtf8(target->Button)));
  return button && button->isEnabled() ? button : nullptr;
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return false;
  switch (event->type()) {
    case QEvent::DragEnter: {
      // Where the file may land is decided by the moves that follow.
      auto* enter = static_cast<QDragEnterEvent*>(event);
      Answer(*enter, !DroppedImageFile(*enter->mimeData()).isEmpty());
      return true;
    }
    case QEvent::DragMove: {
      auto* move = static_cast<QDragMoveEvent*>(event);
      Answer(*move, TargetAt(move->position().toPoint()) != nullptr);
      return true;
    }
    case QEvent::Drop:
      Drop(*static_cast<QDropEvent*>(event));
      return true;
    default:
      return false;
  }
}

void FileDrop::Drop(QDropEvent& drop) {
  const QString file = DroppedImageFile(*drop.mimeData());
  QPushButton* target = file.isEmpty() ? nullptr : TargetAt(drop.position().toPoint());
  Answer(drop, target != nullptr);
  if (!target) return;
  // The load may ask or report in a dialog: not while the sender still waits for the drop.
  QMetaObject::invokeMethod(
      this,
      [this, button = QPointer<QPushButton>(target), file] {
        if (button) Load(button, file);
      },
      Qt::QueuedConnection);
}

void FileDrop::Load(QPushButton* target, const QString& file) {
  if (!offer_) return;
  offer_(file.toStdString());
  target->click();
  offer_(std::nullopt);
}

}  // namespace pw::gui
