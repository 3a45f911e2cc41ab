#pragma once
/// @file
/// Commands that do what a person would do in the window, in the same order, through the window
/// model.

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "cli/CliHost.h"
#include "cli/CliPage.h"
#include "frame/MemoryImages.h"
#include "frame/Outcome.h"

namespace pw::cli {

/// What a running command works with.
class CliSession {
 public:
  CliSession(TForm1& form, CliHost& host) : Form(form), Host(host) {}

  /// Runs one window action as the window would (a click, a page shown, a choice); returns
  /// false, and keeps the outcome, when it did not succeed: the command stops there.
  bool Step(const std::function<void()>& action);
  /// Clicks a button; a disabled one cannot be clicked, which ends the command with an error
  /// report, and so does a question the click asked that was answered No.
  bool Click(Button& button);
  /// Chooses item in a drop-down as a person would (its change event runs), the item's name in
  /// any case; an item the list does not hold is a usage mistake (UsageError naming the closest
  /// items, or all there are).
  bool Choose(ComboBox& box, const std::string& item);
  /// Shows page index of the page control (its show event runs).
  bool ShowPage(int index);
  Outcome Result() const { return result_; }

  TForm1& Form;
  CliHost& Host;

 private:
  Outcome result_ = Outcome::Success;
};

struct CliCommand {
  std::string Page;
  /// pic and i2c commands name a device type between page and operation.
  bool TakesType = false;
  std::string Operation;
  /// How many arguments follow the operation.
  std::size_t ArgCount = 0;
  std::function<void(CliSession&, const std::string& type, const std::vector<std::string>& args)> Run;
  FileUse File = FileUse::None;
  /// For an input file: how its page loads it, so that a file that does not load is refused first.
  FileLoader Load = nullptr;
};

/// A page whose commands still drive the window model: a run builds the window on the
/// context's programmer and runs each step's command in turn.
CliPage LegacyCliPage(const std::vector<CliCommand>& commands, const std::string& eraseFirst = "");

}  // namespace pw::cli
