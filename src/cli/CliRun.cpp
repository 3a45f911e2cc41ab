#include "cli/CliRun.h"

#include <iostream>
#include <memory>

#include "app/SpeedList.h"
#include "backend/Backend.h"
#include "cli/CliHost.h"
#include "cli/CliPages.h"
#include "cli/CliTexts.h"
#include "cli/ExchangeLog.h"
#include "cli/ListCommand.h"
#include "cli/NameMatch.h"
#include "cli/Preflight.h"
#include "cli/ProduceCommand.h"
#include "cli/SelftestCommand.h"
#include "common/Error.h"

namespace pw::cli {
namespace {

/// A mistake on the line: what is wrong (with the nearest names for a slip) and where to read more;
/// the whole help would push the one line that matters off the screen.
int Usage(const std::string& why) {
  std::cerr << "pinwright-cli: " << why << "\n" << texts::kSeeHelp << std::endl;
  return kExitUsage;
}

int ExitStatus(Outcome outcome, const volatile std::sig_atomic_t* interrupted) {
  switch (outcome) {
    case Outcome::Success:
      return kExitSuccess;
    case Outcome::TargetProblem:
      return kExitTargetFailed;
    case Outcome::Stopped:
      return interrupted != nullptr && *interrupted != 0 ? kExitSignalBase + *interrupted : kExitStopped;
    case Outcome::ErrorReport:
      break;
  }
  return kExitError;
}

/// A question answered No leaves the work undone; a script must not take that for success.
void ReportDeclined(CliHost& host, OperationRun& run) {
  if (host.Declined() == 0 || !run.Ok()) return;
  const bool one = host.DeclinedKeys().find(' ') == std::string::npos;
  run.Error("Ничего не сделано: ответ \"нет\" на вопрос (подтвердите " + std::string(one ? "ключом " : "ключами ") +
            host.DeclinedKeys() + ")");
}

/// Runs the page's steps on the backend's programmer; the outcome goes to run.
void RunPage(const CliOptions& options, const CliCommandLine& line, Backend& backend, CliHost& host, OperationRun& run,
             const volatile std::sig_atomic_t* interrupted) {
  const FormPaths paths = ProgramPaths();
  ExchangeLog exchanges(backend.Driver(), [&host](const std::string& line) { host.Detail(line); });
  D2xx& driver = options.Verbose ? exchanges : backend.Driver();
  D2XXUnit unit(driver);
  const bool autoBaud = options.Baud && *options.Baud == kBaudAuto;
  CliContext context{options, driver, unit, host, run, paths, RunBaud(options, paths), autoBaud, interrupted};
  line.Page->Run(context, line.Type, line.Steps);
  host.EndProgress();
  ReportDeclined(host, run);
}

/// The command words of options: parsed, their files checked (and loaded), then run.
int RunWords(const CliOptions& options, const volatile std::sig_atomic_t* interrupted) {
  if (!options.Words.empty() && SameName(options.Words[0], kProduceCommand)) {
    return RunProduce(options, options.Words, interrupted);
  }
  if (!options.Words.empty() && SameName(options.Words[0], kReportCommand)) return RunReport(options, options.Words);
  // Listing the known types needs no programmer and no file check.
  if (!options.Words.empty() && SameName(options.Words[0], kListCommand)) {
    return RunList({options.Words.begin() + 1, options.Words.end()}, ProgramPaths(), std::cout, std::cerr);
  }
  if (!options.Words.empty() && SameName(options.Words[0], kSelftestCommand)) {
    return RunSelftest(options, {options.Words.begin() + 1, options.Words.end()}, interrupted);
  }
  CliCommandLine line = ParseCommandWords(options.Words, options.Erase);
  // A file that cannot serve is refused before the programmer is opened.
  try {
    CheckStepFiles(line.Steps, line.Type, options.Format.value_or(FileFormat::ByName));
  } catch (const PinwrightError& e) {
    std::cerr << e.what() << std::endl;
    return kExitError;
  }
  return RunOnProgrammer(options, interrupted, [&](Backend& backend, CliHost& host, OperationRun& run) {
    // Standard output carries the file: the log must not mix with it.
    if (WritesStandardOutput(line.Steps)) host.LogToStandardError();
    RunPage(options, line, backend, host, run, interrupted);
  });
}

}  // namespace

std::unique_ptr<Backend> MakeBackend(const CliOptions& options) {
  if (options.Simulator) return Backend::Simulated(options.Bench, options.Trace);
  return Backend::Hardware(options.Device);
}

int RunOnProgrammer(const CliOptions& options, const volatile std::sig_atomic_t* interrupted,
                    const ProgrammerWork& work) {
  auto backend = MakeBackend(options);
  CliHost host(options.Yes, options.Force);
  host.WatchStop(interrupted);
  host.SetQuiet(options.Quiet);
  OperationRun run(host);
  try {
    work(*backend, host, run);
  } catch (const UsageError&) {
    // An argument only the page can judge (a type, a hex byte): a usage mistake, nothing done.
    backend->Finish();
    throw;
  } catch (const std::exception& e) {
    run.Error(e.what());
  }
  backend->Finish();
  host.ShowOutcome();
  // The error report says what failed; the hint says what a person can do about it.
  if (!run.Ok() && !backend->Hint().empty()) std::cerr << backend->Hint() << std::endl;
  return ExitStatus(run.Result(), interrupted);
}

std::int32_t RunBaud(const CliOptions& options, const FormPaths& paths) {
  if (options.Baud && *options.Baud != kBaudAuto) return ParseBaudNumber(*options.Baud);
  return SpeedListBaud(ReadSpeedList(paths));
}

int RunCli(const std::vector<std::string>& args, const volatile std::sig_atomic_t* interrupted) {
  CliOptions options;
  try {
    options = ParseCliOptions(args);
  } catch (const std::invalid_argument& e) {
    return Usage(e.what());
  }
  if (options.Help) {
    std::cout << CliUsage();
    return kExitSuccess;
  }
  if (options.Version) {
    std::cout << CliVersion() << std::endl;
    return kExitSuccess;
  }
  try {
    return RunWords(options, interrupted);
  } catch (const UsageError& e) {
    return Usage(e.what());
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return kExitError;
  }
}

}  // namespace pw::cli
