#include "gui/GuiOptions.h"

#include "gui/WindowTexts.h"

#ifndef PINWRIGHT_VERSION
#error "PINWRIGHT_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace pw::gui {
namespace {

constexpr std::string_view kSimulatorWith = "--simulator=";
constexpr std::string_view kDeviceWith = "--device=";

GuiOptions Only(GuiOptions::Action action, std::string problem = {}) {
  GuiOptions options;
  options.Do = action;
  options.Problem = std::move(problem);
  return options;
}

}  // namespace

GuiOptions ParseGuiOptions(std::span<const std::string> words) {
  GuiOptions o;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& a = words[i];
    if (a == "--help" || a == "-h") return Only(GuiOptions::Action::Help);
    if (a == "--version" || a == "-V") return Only(GuiOptions::Action::Version);
    if (a == "--simulator") {
      o.Simulator = true;
    } else if (a.starts_with(kSimulatorWith)) {
      o.Simulator = true;
      o.Bench = a.substr(kSimulatorWith.size());
    } else if (a == "--device" && i + 1 < words.size()) {
      o.Device = words[++i];
    } else if (a == "--device" || a == kDeviceWith) {
      return Only(GuiOptions::Action::Error, texts::kDeviceWithoutSerial);
    } else if (a.starts_with(kDeviceWith)) {
      o.Device = a.substr(kDeviceWith.size());
    } else {
      return Only(GuiOptions::Action::Error, texts::kUnknownOption + ("«" + a + "»"));
    }
  }
  return o;
}

std::optional<int> AnswerWithoutWindow(const GuiOptions& options, std::ostream& out, std::ostream& err) {
  switch (options.Do) {
    case GuiOptions::Action::Start:
      return std::nullopt;
    case GuiOptions::Action::Help:
      out << texts::kWindowHelp;
      return 0;
    case GuiOptions::Action::Version:
      out << "pinwright " << PINWRIGHT_VERSION << '\n';
      return 0;
    case GuiOptions::Action::Error:
      break;
  }
  err << texts::kWindowUsagePrefix << options.Problem << texts::kWindowUsageHint << '\n';
  return 2;
}

}  // namespace pw::gui
