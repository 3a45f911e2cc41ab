#include "gui/MainWindow.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QShortcut>

#include "gui/WindowTexts.h"

namespace pw::gui {

MainWindow::MainWindow(TForm1& form, QtHost* host) : form_(form) {
  setObjectName("Form1");
  setWindowTitle(TForm1::kCaption);
  setFixedSize(TForm1::kClientWidth, TForm1::kClientHeight);
  binder_ = new WidgetBinder(form_, *this);
  drops_ = new FileDrop(*this, form_, *binder_);
  if (host) {
    host->Attach(this, binder_);
    drops_->SetOffer([host](const std::optional<std::string>& file) { host->OfferOpenFile(file); });
  }
  // Escape does what the stop button does, and like it only while an operation runs.
  auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(stop, &QShortcut::activated, this, [this] {
    if (form_.StopButton.Enabled && form_.StopButton.OnClick) form_.StopButton.OnClick();
  });
}

void MainWindow::MarkVirtual() { setWindowTitle(QString(TForm1::kCaption) + texts::kVirtualTitle); }

void MainWindow::closeEvent(QCloseEvent* event) {
  // An operation in progress owns the programmer; the window stays until it ends.
  if (form_.Busy()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace pw::gui
