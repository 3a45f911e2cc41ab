#include "gui/WidgetBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

#include "gui/ControlHints.h"
#include "gui/ElidedLabel.h"
#include "gui/FileTargets.h"

namespace pw::gui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

template <class W>
W* Make(QWidget* parent) {
  return new W(parent);
}

// Sets a widget property only when it differs, so a sync does not cause needless redraws.
template <class W, class V, class Get, class Set>
void Update(W* w, const V& value, Get get, Set set) {
  if ((w->*get)() != value) (w->*set)(value);
}

QString HintOf(const std::string& name) {
  const std::string_view hint = HintFor(name);
  return QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size()));
}

/// Whether the control takes a person's input, which an operation that runs must not get:
/// such controls look disabled while one runs, except the buttons meant for that time (Стоп).
bool TakesInput(const ControlRef& control) {
  if (const auto* button = std::get_if<Button*>(&control)) return !(*button)->RunsWhileBusy;
  return std::holds_alternative<CheckBox*>(control) || std::holds_alternative<ComboBox*>(control) ||
         std::holds_alternative<Edit*>(control);
}

// One maker per control kind: the widget that shows it, set up as the kind wants.
QWidget* MakeWidget(const PageControl&, QWidget* parent) { return Make<QTabWidget>(parent); }
QWidget* MakeWidget(const GroupBox&, QWidget* parent) { return Make<QGroupBox>(parent); }
QWidget* MakeWidget(const Button&, QWidget* parent) { return Make<QPushButton>(parent); }
QWidget* MakeWidget(const CheckBox&, QWidget* parent) { return Make<QCheckBox>(parent); }
QWidget* MakeWidget(const Edit&, QWidget* parent) { return Make<QLineEdit>(parent); }

QWidget* MakeWidget(const TabSheet& page, QWidget* parent) {
  auto* widget = new QWidget();
  if (auto* tabs = qobject_cast<QTabWidget*>(parent)) tabs->addTab(widget, Q(page.Caption));
  return widget;
}

QWidget* MakeWidget(const ComboBox& c, QWidget* parent) {
  auto* box = Make<QComboBox>(parent);
  box->setEditable(c.Editable);
  box->setInsertPolicy(QComboBox::NoInsert);
  return box;
}

QWidget* MakeWidget(const Label& c, QWidget* parent) {
  if (IsPathLabel(c.Name)) return new ElidedLabel(parent);
  auto* label = Make<QLabel>(parent);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (c.Look == Label::Style::Warning) label->setStyleSheet("color: #c00000; font-weight: bold;");
  return label;
}

QWidget* MakeWidget(const ProgressBar&, QWidget* parent) {
  auto* bar = Make<QProgressBar>(parent);
  bar->setTextVisible(false);
  return bar;
}

QWidget* MakeWidget(const Memo&, QWidget* parent) {
  auto* memo = Make<QPlainTextEdit>(parent);
  memo->setReadOnly(true);
  return memo;
}

// One sync per control kind: copies what the control holds to its widget. A page shows its
// caption from the start and nothing else.
void SyncWidget(QWidget*, const TabSheet&) {}

void SyncWidget(QWidget* widget, const PageControl& c) {
  auto* tabs = qobject_cast<QTabWidget*>(widget);
  if (tabs->currentIndex() != c.ActivePageIndex) tabs->setCurrentIndex(c.ActivePageIndex);
}

void SyncWidget(QWidget* widget, const GroupBox& c) {
  Update(qobject_cast<QGroupBox*>(widget), Q(c.Caption), &QGroupBox::title, &QGroupBox::setTitle);
}

void SyncWidget(QWidget* widget, const Button& c) {
  Update(qobject_cast<QPushButton*>(widget), Q(c.Caption), &QPushButton::text, &QPushButton::setText);
}

void SyncWidget(QWidget* widget, const CheckBox& c) {
  auto* box = qobject_cast<QCheckBox*>(widget);
  Update(box, Q(c.Caption), &QCheckBox::text, &QCheckBox::setText);
  Update(box, c.Checked, &QCheckBox::isChecked, &QCheckBox::setChecked);
}

void SyncWidget(QWidget* widget, const ComboBox& c) {
  auto* box = qobject_cast<QComboBox*>(widget);
  QStringList items;
  for (const auto& item : c.Items) items << Q(item);
  QStringList shown;
  for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
  if (shown != items) {
    box->clear();
    box->addItems(items);
  }
  if (box->currentIndex() != c.ItemIndex) box->setCurrentIndex(c.ItemIndex);
  if (box->isEditable() && box->currentText() != Q(c.Text)) box->setEditText(Q(c.Text));
}

void SyncWidget(QWidget* widget, const Edit& c) {
  auto* edit = qobject_cast<QLineEdit*>(widget);
  Update(edit, Q(c.Text), &QLineEdit::text, &QLineEdit::setText);
  Update(edit, c.ReadOnly, &QLineEdit::isReadOnly, &QLineEdit::setReadOnly);
}

void SyncWidget(QWidget* widget, const Label& c) {
  // Captions carry CR LF line ends; a label breaks lines at LF alone.
  if (auto* path = qobject_cast<ElidedLabel*>(widget)) return path->SetFullText(Q(c.Caption));
  Update(qobject_cast<QLabel*>(widget), Q(c.Caption).replace("\r\n", "\n"), &QLabel::text, &QLabel::setText);
}

void SyncWidget(QWidget* widget, const ProgressBar& c) {
  auto* bar = qobject_cast<QProgressBar*>(widget);
  if (bar->minimum() != c.Min || bar->maximum() != c.Max) bar->setRange(c.Min, c.Max);
  Update(bar, c.Position, &QProgressBar::value, &QProgressBar::setValue);
}

/// A memo takes only the lines it has not shown yet; after a clear it starts afresh.
void SyncMemo(QPlainTextEdit* memo, const Memo& c, std::pair<std::size_t, std::size_t>& shown) {
  auto& [clears, lines] = shown;
  if (clears != c.Clears || c.Lines.size() < lines) {
    memo->clear();
    clears = c.Clears;
    lines = 0;
  }
  for (; lines < c.Lines.size(); ++lines) memo->appendPlainText(Q(c.Lines[lines]));
}

}  // namespace

WidgetBinder::WidgetBinder(TForm1& form, QWidget& window) : QObject(&window), form_(form), window_(window) {
  syncing_ = true;
  for (const ControlRef& control : form_.Controls()) Build(control);
  syncing_ = false;
  SyncAll();
}

QWidget* WidgetBinder::ParentOf(const ControlBase& control) const {
  if (control.Parent.empty()) return &window_;
  QWidget* parent = widgets_.value(Q(control.Parent));
  return parent ? parent : &window_;
}

void WidgetBinder::Place(QWidget* widget, const ControlBase& control) {
  widget->setObjectName(Q(control.Name));
  widget->setGeometry(control.Box.Left, control.Box.Top, control.Box.Width, control.Box.Height);
  if (const QString hint = HintOf(control.Name); !hint.isEmpty()) widget->setToolTip(hint);
  widgets_.insert(Q(control.Name), widget);
}

void WidgetBinder::Build(const ControlRef& control) {
  const ControlBase& base = BaseOf(control);
  QWidget* parent = ParentOf(base);
  QWidget* widget = std::visit([parent](auto* c) { return MakeWidget(*c, parent); }, control);
  if (std::holds_alternative<TabSheet*>(control)) {
    // A page is laid out by its page control: it takes neither a place nor a hint.
    widget->setObjectName(Q(base.Name));
    widgets_.insert(Q(base.Name), widget);
  } else {
    Place(widget, base);
  }
  Connect(control, widget);
}

void WidgetBinder::Fire(const std::function<void()>& handler) {
  if (!handler) return;
  form_.Fire(handler);
  SyncAll();
}

void WidgetBinder::Connect(const ControlRef& control, QWidget* widget) {
  std::visit([this, widget](auto* c) { ConnectWidget(c, widget); }, control);
}

void WidgetBinder::ConnectWidget(Button* button, QWidget* widget) {
  connect(qobject_cast<QPushButton*>(widget), &QPushButton::clicked, this, [this, button] {
    // The stop button acts on the operation that runs, so it cannot wait for the frame.
    if (button->RunsWhileBusy && button->OnClick) return button->OnClick();
    Fire(button->OnClick);
  });
}

void WidgetBinder::ConnectWidget(CheckBox* check, QWidget* widget) {
  connect(qobject_cast<QCheckBox*>(widget), &QCheckBox::toggled, this, [this, check](bool on) {
    if (!syncing_) check->Checked = on;
  });
}

void WidgetBinder::ConnectWidget(ComboBox* combo, QWidget* widget) {
  auto* box = qobject_cast<QComboBox*>(widget);
  connect(box, &QComboBox::activated, this, [this, combo](int index) {
    if (syncing_ || form_.Busy()) return SyncAll();
    combo->Select(index);
    Fire(combo->OnChange);
  });
  if (!box->lineEdit()) return;
  connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, combo](const QString& text) {
    if (syncing_ || form_.Busy()) return;
    combo->Text = text.toStdString();
    Fire(combo->OnChange);
  });
}

void WidgetBinder::ConnectWidget(Edit* edit, QWidget* widget) {
  connect(qobject_cast<QLineEdit*>(widget), &QLineEdit::textEdited, this, [this, edit](const QString& text) {
    if (!syncing_) edit->Text = text.toStdString();
  });
}

void WidgetBinder::ConnectWidget(PageControl*, QWidget* widget) {
  connect(qobject_cast<QTabWidget*>(widget), &QTabWidget::currentChanged, this, [this](int index) {
    if (syncing_) return;
    form_.ShowPage(index);
    SyncAll();
  });
}

void WidgetBinder::SyncAll() {
  syncing_ = true;
  for (const ControlRef& control : form_.Controls()) Sync(control);
  syncing_ = false;
}

void WidgetBinder::SyncAndRepaint(const ProgressBar& bar) {
  if (auto* w = qobject_cast<QProgressBar*>(widgets_.value(Q(bar.Name)))) {
    syncing_ = true;
    Sync(ControlRef{const_cast<ProgressBar*>(&bar)});
    syncing_ = false;
    w->repaint();
  }
}

void WidgetBinder::Sync(const ControlRef& control) {
  QWidget* widget = widgets_.value(Q(NameOf(control)));
  if (!widget) return;
  const ControlBase& base = BaseOf(control);
  if (!std::get_if<TabSheet*>(&control)) {
    const bool enabled = base.Enabled && !(form_.Busy() && TakesInput(control));
    Update(widget, enabled, &QWidget::isEnabled, &QWidget::setEnabled);
  }
  // The pages stay readable during an operation; only their tabs cannot be chosen.
  if (auto* tabs = qobject_cast<QTabWidget*>(widget)) tabs->tabBar()->setEnabled(!form_.Busy());
  std::visit(
      [&](auto* c) {
        if constexpr (std::is_same_v<decltype(c), Memo*>) {
          SyncMemo(qobject_cast<QPlainTextEdit*>(widget), *c, memoShown_[Q(base.Name)]);
        } else {
          SyncWidget(widget, *c);
        }
      },
      control);
}

}  // namespace pw::gui
