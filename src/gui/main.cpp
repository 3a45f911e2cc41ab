#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <iostream>
#include <optional>

#include "app/Form1.h"
#include "backend/Backend.h"
#include "gui/MainWindow.h"
#include "gui/QtHost.h"
#include "gui/QtTranslations.h"
#include "gui/WindowSettings.h"

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

/// The window's host, whose error reports carry the backend's hint (no programmer, no permission).
class HintingHost : public pw::gui::QtHost {
 public:
  explicit HintingHost(const pw::Backend& backend) : backend_(backend) {}
  void ShowError(const std::string& text) override {
    const std::string hint = backend_.Hint();
    QtHost::ShowError(hint.empty() ? text : text + "\n\n" + hint);
  }

 private:
  const pw::Backend& backend_;
};

/// The programmer the options name, or null once a message box has said why there is none.
std::unique_ptr<pw::Backend> MakeBackend(const GuiOptions& options) {
  try {
    if (options.Simulator) return pw::Backend::Simulated(options.Bench, std::nullopt);
    return pw::Backend::Hardware(options.Device);
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, pw::TForm1::kCaption, QString::fromStdString(e.what()));
    return nullptr;
  }
}

/// Lets the programmer go after the window closed: status, or 1 when that fails.
int Finish(pw::Backend& backend, int status) {
  try {
    backend.Finish();
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  pw::gui::InstallQtTranslations(app);
  QSettings store(QSettings::IniFormat, QSettings::UserScope, "pinwright", "pinwright");
  pw::gui::WindowSettings settings(store);
  const std::unique_ptr<pw::Backend> backend = MakeBackend(ParseArgs(QApplication::arguments()));
  if (!backend) return 1;
  HintingHost host(*backend);
  host.UseSettings(&settings);
  pw::TForm1 form(backend->Driver(), host, pw::ProgramPaths());
  pw::gui::MainWindow window(form, &host);
  window.show();
  form.FormCreate();
  settings.RestoreTypes(form);
  window.Binder().SyncAll();
  const int status = app.exec();
  settings.SaveTypes(form);
  return Finish(*backend, status);
}
