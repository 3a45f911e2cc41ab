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
};

GuiOptions ParseArgs(const QStringList& args) {
  GuiOptions o;
  for (const QString& a : args.mid(1)) {
    if (a == "--simulator") o.Simulator = true;
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
      std::string why;
      backend = pw::Backend::Hardware(why);
      if (!backend) {
        QMessageBox::warning(nullptr, pw::TForm1::kCaption, QString::fromStdString(why));
        backend = pw::Backend::Absent();
      }
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
  const int status = app.exec();
  try {
    backend->Finish();
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return 1;
  }
  return status;
}
