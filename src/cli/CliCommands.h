#pragma once
/// @file
/// The commands of pinwright-cli. Each does what a person would do in the window, in the same
/// order, through the window model.

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "cli/CliHost.h"
#include "frame/MemoryImages.h"
#include "frame/Outcome.h"

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
  /// Chooses item in a drop-down as a person would (its change event runs), the item's name in
  /// any case; an item the list does not hold is a usage mistake (UsageError naming the closest
  /// items, or all there are).
  bool Choose(ComboBox& box, const std::string& item);
  /// Shows page index of the page control (its show event runs).
  bool ShowPage(int index);
  Outcome Result() const { return result_; }

  TForm1& Form;
  CliHost& Host;
  /// --erase: avr write-flash erases the chip before writing.
  bool EraseFirst = false;

 private:
  Outcome result_ = Outcome::Success;
};

/// What a command does with its first argument, a file: checked before the programmer is touched.
enum class FileUse { None, Input, Output };
/// Loads a file into the images as a page would; raises PinwrightError when it does not load.
using FileLoader = std::string (*)(const std::filesystem::path&, MemoryImages&);

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

/// Every command this build knows.
const std::vector<CliCommand>& AllCliCommands();

/// The command the words (PAGE [TYPE] OPERATION ARGS) name, page and operation in any case; type
/// and args receive the rest. Raises UsageError naming what is wrong, with the closest known
/// names for an unknown page or operation.
const CliCommand& MatchCliCommand(const std::vector<std::string>& words, std::string& type,
                                  std::vector<std::string>& args);

}  // namespace pw::cli
