#include "gui/ElidedLabel.h"

#include <QResizeEvent>

namespace pw::gui {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
  setWordWrap(false);
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The label's width is the window's to choose; a long path must not widen it.
  setMinimumWidth(1);
  setSizePolicy(QSizePolicy::Ignored, sizePolicy().verticalPolicy());
}

void ElidedLabel::SetFullText(const QString& text) {
  if (text == full_) return;
  full_ = text;
  setToolTip(full_);
  Elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Elide();
}

void ElidedLabel::Elide() {
  const QString shown = fontMetrics().elidedText(full_, Qt::ElideMiddle, contentsRect().width());
  if (shown != text()) setText(shown);
}

}  // namespace pw::gui
