#pragma once
/// @file
/// The window program's command line: which programmer the window runs on, or an answer
/// printed without a window (--help, --version, a word it does not know).

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>

namespace pw::gui {

struct GuiOptions {
  enum class Action { Start, Help, Version, Error };
  Action Do = Action::Start;
  bool Simulator = false;
  /// --simulator=FILE: the bench file; the built-in bench without one.
  std::optional<std::filesystem::path> Bench;
  /// --device SERIAL: the real programmer with this serial number.
  std::string Device;
  /// Action::Error: what is wrong, for the line printed.
  std::string Problem;
};

/// Reads words (the arguments after the program's name) up to --help, --version or the first
/// word that is no option of the window.
GuiOptions ParseGuiOptions(std::span<const std::string> words);

/// Prints what options ask for instead of a window (help and version on out, an error on err)
/// and returns the exit status: 0, or 2 for an error; nullopt when the window is to start.
std::optional<int> AnswerWithoutWindow(const GuiOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pw::gui
