#pragma once
/// @file
/// The commands of pinwright-cli. Each does what a person would do in the window, in the same
/// order, through the window model.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "cli/CliHost.h"
#include "model/Outcome.h"

namespace pw::cli {

/// A command line that names a command but gives it unusable arguments.
class UsageError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

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
  /// Chooses item in a drop-down as a person would (its change event runs); an item the list does
  /// not hold is a usage mistake (UsageError naming the items there are).
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
};

/// Every command this build knows.
const std::vector<CliCommand>& AllCliCommands();

/// The command words (PAGE [TYPE] OPERATION ARGS) name, or null; type and args receive the rest.
const CliCommand* FindCliCommand(const std::vector<std::string>& words, std::string& type, std::vector<std::string>& args);

}  // namespace pw::cli
