#pragma once
/// @file
/// The command line's view of a page: its name, whether a device type follows it, its
/// operations with their arguments, and how a run of them is carried out. Each family's
/// commands file gives one CliPage; cli/CliPages.cpp lists them.

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "d2xx/D2xx.h"
#include "frame/ImageFiles.h"
#include "frame/MemoryImages.h"
#include "frame/OperationRun.h"
#include "frame/ProgramFiles.h"
#include "link/D2xxUnit.h"

namespace pw::cli {

class CliHost;

/// A command line that names a command but gives it unusable arguments.
class UsageError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

/// What an operation does with its first argument, a file: checked before the programmer is touched.
enum class FileUse { None, Input, Output };
/// Loads a file into images as its page does; raises PinwrightError when it does not load and
/// returns a line for the log about records with a wrong checksum (empty when there were none).
using FileLoader = std::string (*)(const ImageFile&, MemoryImages&);
/// For a page whose file layout follows the device type: the loader for the type as typed; an
/// unknown type raises UsageError.
using TypedLoader = FileLoader (*)(const std::string& type);
/// Loads a file into an object of the page's own (an image MemoryImages cannot hold), as
/// FileLoader does: raises PinwrightError when it does not load, notice gets the checksum line.
using ObjectLoader = std::shared_ptr<const void> (*)(const ImageFile&, std::string& notice);

/// One operation of a page.
struct CliOperation {
  std::string Name;
  /// How many arguments follow the operation's name.
  std::size_t ArgCount = 0;
  FileUse File = FileUse::None;
  /// For an input file: how it loads, so that a file that does not load is refused first.
  FileLoader Load = nullptr;
  /// --erase puts the page's erase operation (CliPage::EraseFirst) before a run holding this one.
  bool TakesErase = false;
  /// For an input file of the page's own kind, instead of Load.
  ObjectLoader LoadObject = nullptr;
  /// On a page that takes a type, the operation may stand without one (PAGE OPERATION).
  bool TypeFree = false;
  /// For an input file whose layout follows the type, instead of Load.
  TypedLoader LoadFor = nullptr;
};

/// One operation as the command line gives it.
struct CliStep {
  const CliOperation* Operation = nullptr;
  std::vector<std::string> Args;
  /// The input file as the preflight loaded it (operations with a loader only): parsed once.
  std::shared_ptr<const MemoryImages> Images;
  /// The loader's line about wrong checksums, if any.
  std::string LoadNotice;
  /// The input file as the preflight loaded it with the operation's LoadObject.
  std::shared_ptr<const void> Loaded = nullptr;
  /// --format as the preflight gave it to the step's file (ByName: the name says).
  FileFormat Format = FileFormat::ByName;

  /// Loaded as the object its loader made.
  template <typename T>
  const T& LoadedAs() const {
    return *static_cast<const T*>(Loaded.get());
  }
};

/// The step's file (its first argument) in the format --format asked for.
inline ImageFile FileOf(const CliStep& step) { return {step.Args[0], step.Format}; }

/// What a page's run works with.
struct CliContext {
  const CliOptions& Options;
  /// The programmer, and the unit that drives it.
  D2xx& Driver;
  D2XXUnit& Unit;
  /// The person at the terminal: log lines, progress, questions, error reports, Ctrl-C.
  CliHost& Host;
  OperationRun& Run;
  FormPaths Paths;
  /// The baud value operations open the programmer at: --baud N, else speed.txt's eighth line.
  std::int32_t Baud = 0;
  /// --baud auto: AVR operations find the fastest clock the chip takes.
  bool AutoBaud = false;
  /// Set by the program's stop-signal handler (Ctrl-C, SIGTERM, SIGHUP).
  const volatile std::sig_atomic_t* Interrupted = nullptr;
  /// AVR: the part the chip's signature must name (a production job's type); empty: any known chip.
  std::string RequiredPart = {};
};

struct CliPage {
  std::string Name;
  /// A device type (PIC.ini, I2C_E.ini section) stands between the page and its operations.
  bool TakesType = false;
  std::vector<CliOperation> Operations;
  /// The operation --erase puts first; empty: the page takes no --erase.
  std::string EraseFirst;
  /// Carries out the steps in one run of the frame (one identification); the outcome goes to
  /// context.Run. type is as typed (empty for a page without types).
  std::function<void(CliContext& context, const std::string& type, std::span<const CliStep> steps)> Run;
};

/// The row of a family's command table (rows with an `Operation` member, a CliOperation) that
/// step names; the parser found step's operation in that table, so there is one.
template <typename Row>
const Row& RowOf(const std::vector<Row>& rows, const CliStep& step) {
  for (const Row& row : rows) {
    if (row.Operation.Name == step.Operation->Name) return row;
  }
  throw std::logic_error("no command " + step.Operation->Name);
}

/// The page name is, with the operations of a family's command table.
template <typename Row>
CliPage PageOf(std::string name, bool takesType, const std::vector<Row>& rows, std::string eraseFirst,
               decltype(CliPage::Run) run) {
  CliPage page{std::move(name), takesType, {}, std::move(eraseFirst), std::move(run)};
  for (const Row& row : rows) page.Operations.push_back(row.Operation);
  return page;
}

}  // namespace pw::cli
