#include <QApplication>
#include <QMessageBox>
#include <iostream>
#include <optional>

#include "app/Form1.h"
#include "backend/Backend.h"
#include "gui/MainWindow.h"
#include "gui/QtHost.h"

namespace {

struct GuiOptions {
  bool Simulator = false;
  std::optional<std::filesystem::path> Bench;
  /// --device SERIAL: the real programmer with this serial number.
  std::string Device;
};

GuiOptions ParseArgs(const QStringList& args) {
  GuiOptions o;
  const QStringList words = args.mid(1);
  for (qsizetype i = 0; i < words.size(); ++i) {
    const QString& a = words[i];
    if (a == "--simulator") o.Simulator = true;
    if (a == "--device" && i + 1 < words.size()) o.Device = words[++i].toStdString();
    if (a.startsWith("--device=")) o.Device = a.mid(9).toStdString();
    if (a.startsWith("--simulator=")) {
      o.Simulator = true;
      o.Bench = a.mid(12).toStdString();
    }
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const GuiOptions options = ParseArgs(QApplication::arguments());
  std::unique_ptr<pw::Backend> backend;
  try {
    if (options.Simulator) {
      backend = pw::Backend::Simulated(options.Bench, std::nullopt);
    } else {
      backend = pw::Backend::Hardware(options.Device);
    }
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, pw::TForm1::kCaption, QString::fromStdString(e.what()));
    return 1;
  }
  pw::gui::QtHost host;
  pw::TForm1 form(backend->Driver(), host, pw::ProgramPaths());
  pw::gui::MainWindow window(form, &host);
  window.show();
  form.FormCreate();
  window.Binder().SyncAll();
  // The log carries the error report; the hint tells a person what to do about it.
  if (!backend->Hint().empty()) {
    QMessageBox::warning(&window, pw::TForm1::kCaption, QString::fromStdString(backend->Hint()));
  }
  const int status = app.exec();
  try {
    backend->Finish();
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return 1;
  }
  return status;
}
