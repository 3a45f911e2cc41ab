#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "backend/Backend.h"
#include "gui/GuiOptions.h"
#include "gui/MainWindow.h"
#include "gui/QtHost.h"
#include "gui/QtTranslations.h"
#include "gui/WindowSettings.h"

namespace {

using pw::gui::GuiOptions;

/// The arguments after the program's name.
std::vector<std::string> Words(int argc, char** argv) { return {argv + std::min(argc, 1), argv + argc}; }

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
  // Help and version need no display: they are answered before Qt looks for one.
  if (GuiOptions early = pw::gui::ParseGuiOptions(Words(argc, argv)); early.Do != GuiOptions::Action::Error) {
    if (const auto status = pw::gui::AnswerWithoutWindow(early, std::cout, std::cerr)) return *status;
  }
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  const GuiOptions options = pw::gui::ParseGuiOptions(Words(argc, argv));
  if (const auto status = pw::gui::AnswerWithoutWindow(options, std::cout, std::cerr)) return *status;
  pw::gui::InstallQtTranslations(app);
  QSettings store(QSettings::IniFormat, QSettings::UserScope, "pinwright", "pinwright");
  pw::gui::WindowSettings settings(store);
  const std::unique_ptr<pw::Backend> backend = MakeBackend(options);
  if (!backend) return 1;
  HintingHost host(*backend);
  host.UseSettings(&settings);
  pw::TForm1 form(backend->Driver(), host, pw::ProgramPaths());
  pw::gui::MainWindow window(form, &host);
  if (backend->SimBench()) window.MarkVirtual();
  window.show();
  form.FormCreate();
  settings.RestoreTypes(form);
  window.Binder().SyncAll();
  const int status = app.exec();
  settings.SaveTypes(form);
  return Finish(*backend, status);
}
