#include "layout/LayoutFaults.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>

#include "gui/ElidedLabel.h"

namespace pw::test {
namespace {

// QLineEdit keeps this much room either side of its text inside the frame (not a style metric).
constexpr int kLineEditMargin = 2;

/// The room a control's style leaves for its text, and the text; an empty text needs no room.
struct TextRoom {
  QRect Room;
  QString Text;
  int Flags = Qt::TextSingleLine;
};

int Metric(const QWidget* w, QStyle::PixelMetric metric) { return w->style()->pixelMetric(metric, nullptr, w); }

TextRoom RoomOfButton(QAbstractButton* b) {
  QStyleOptionButton opt;
  opt.initFrom(b);
  opt.text = b->text();
  if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b)) {
    const auto element = qobject_cast<QCheckBox*>(b) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
    return {b->style()->subElementRect(element, &opt, b), b->text()};
  }
  // A push button's caption keeps the style's button margin clear of the frame.
  const int inset = Metric(b, QStyle::PM_DefaultFrameWidth) + Metric(b, QStyle::PM_ButtonMargin);
  const int frame = Metric(b, QStyle::PM_DefaultFrameWidth);
  return {b->rect().adjusted(inset, frame, -inset, -frame), b->text()};
}

TextRoom RoomOfLineEdit(QLineEdit* e) {
  const int inset = Metric(e, QStyle::PM_DefaultFrameWidth);
  return {e->rect().adjusted(inset + kLineEditMargin, inset, -inset - kLineEditMargin, -inset), e->text()};
}

TextRoom RoomOfComboBox(QComboBox* c) {
  QStyleOptionComboBox opt;
  opt.initFrom(c);
  opt.editable = c->isEditable();
  opt.frame = c->hasFrame();
  const QRect field = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
  return {field.adjusted(kLineEditMargin, 0, -kLineEditMargin, 0), c->currentText()};
}

TextRoom RoomOfLabel(QLabel* l) {
  const int m = l->margin();
  const QRect room = l->contentsRect().adjusted(m, m, -m, -m);
  if (auto* path = qobject_cast<gui::ElidedLabel*>(l)) {
    // Shortened on purpose: fine while the tooltip shows the whole path.
    if (path->toolTip() != path->FullText()) return {QRect(), path->FullText()};
  }
  return {room, l->text(), l->wordWrap() ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine)};
}

TextRoom RoomOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return RoomOfButton(b);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return RoomOfLineEdit(e);
  if (auto* c = qobject_cast<QComboBox*>(w)) return RoomOfComboBox(c);
  if (auto* l = qobject_cast<QLabel*>(w)) return RoomOfLabel(l);
  return {};
}

std::string Name(const QWidget* w) { return w->objectName().toStdString(); }

void CheckText(QWidget* w, std::vector<std::string>& faults) {
  TextRoom t = RoomOf(w);
  // A trailing blank or line end is not seen; the words before it are.
  while (!t.Text.isEmpty() && t.Text.back().isSpace()) t.Text.chop(1);
  if (t.Text.isEmpty()) return;
  const QRect need = w->fontMetrics().boundingRect(QRect(0, 0, std::max(t.Room.width(), 1), 1 << 20), t.Flags, t.Text);
  if (need.width() <= t.Room.width() && need.height() <= t.Room.height()) return;
  faults.push_back(Name(w) + ": \"" + t.Text.toStdString() + "\" needs " + std::to_string(need.width()) + "x" +
                   std::to_string(need.height()) + ", has " + std::to_string(t.Room.width()) + "x" +
                   std::to_string(t.Room.height()));
}

QRect CaptionOf(QGroupBox* g) {
  QStyleOptionGroupBox opt;
  opt.initFrom(g);
  opt.text = g->title();
  opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
  opt.textAlignment = g->alignment();
  return g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
}

void CheckPlace(QWidget* w, const std::vector<QWidget*>& controls, std::vector<std::string>& faults) {
  QWidget* parent = w->parentWidget();
  if (!parent->rect().contains(w->geometry())) faults.push_back(Name(w) + " sticks out of " + Name(parent));
  if (auto* group = qobject_cast<QGroupBox*>(parent); group && CaptionOf(group).intersects(w->geometry())) {
    faults.push_back(Name(w) + " covers the caption of " + Name(group));
  }
  for (QWidget* other : controls) {
    if (other == w) break;  // each pair once
    if (other->isVisible() && other->parentWidget() == parent && other->geometry().intersects(w->geometry())) {
      faults.push_back(Name(w) + " overlaps " + Name(other));
    }
  }
}

}  // namespace

std::vector<std::string> LayoutFaults(const std::vector<QWidget*>& controls) {
  std::vector<std::string> faults;
  for (QWidget* w : controls) {
    if (!w->isVisible()) continue;
    CheckText(w, faults);
    if (auto* group = qobject_cast<QGroupBox*>(w); group && !group->rect().contains(CaptionOf(group))) {
      faults.push_back(Name(w) + ": caption \"" + group->title().toStdString() + "\" wider than the box");
    }
    CheckPlace(w, controls, faults);
  }
  return faults;
}

}  // namespace pw::test
