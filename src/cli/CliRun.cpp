#include "cli/CliRun.h"

#include <algorithm>
#include <iostream>
#include <memory>

#include "app/Form1.h"
#include "app/SpeedList.h"
#include "backend/Backend.h"
#include "cli/CliCommands.h"
#include "cli/CliHost.h"
#include "cli/CliOptions.h"
#include "cli/Preflight.h"
#include "common/Error.h"

namespace pw::cli {
namespace {

int Usage(const std::string& why) {
  std::cerr << "pinwright-cli: " << why << "\n\n" << CliUsage();
  return kExitUsage;
}

int ExitStatus(Outcome outcome) {
  switch (outcome) {
    case Outcome::Success:
      return kExitSuccess;
    case Outcome::TargetProblem:
      return kExitTargetFailed;
    case Outcome::Stopped:
      return kExitStopped;
    case Outcome::ErrorReport:
      break;
  }
  return kExitError;
}

std::unique_ptr<Backend> MakeBackend(const CliOptions& options) {
  if (options.Simulator) return Backend::Simulated(options.Bench, options.Trace);
  return Backend::Hardware(options.Device);
}

/// --baud auto chooses the baud list's "авто" entry, as a person would.
void ApplyBaudOption(const CliOptions& options, TForm1& form) {
  if (!options.Baud || *options.Baud != kBaudAuto) return;
  const auto& items = form.BoudRate.Items;
  const auto entry = std::find(items.begin(), items.end(), kAutoBaudEntry);
  if (entry == items.end()) return;
  form.BoudRate.Select(static_cast<int>(entry - items.begin()));
  form.Fire(form.BoudRate.OnChange);
}

int RunCommand(const CliOptions& options, const CliCommand& command, const std::string& type,
               const std::vector<std::string>& args, const volatile std::sig_atomic_t* interrupted) {
  auto backend = MakeBackend(options);
  CliHost host(options.Yes, options.Force);
  TForm1 form(backend->Driver(), host, ProgramPaths());
  form.Log.OnAppend = [&host](const std::string& line) {
    host.LogLine(line);
    std::cout << line << std::endl;
  };
  form.Context().Stop.Watch(interrupted);
  form.FormCreate();
  Outcome outcome = form.LastOutcome();
  if (outcome == Outcome::Success) {
    ApplyRunOptions(form, options);
    ApplyBaudOption(options, form);
    CliSession session(form, host);
    session.EraseFirst = options.Erase;
    command.Run(session, type, args);
    outcome = session.Result();
  }
  backend->Finish();
  // The error report says what failed; the hint says what a person can do about it.
  if (outcome != Outcome::Success && !backend->Hint().empty()) std::cerr << backend->Hint() << std::endl;
  return ExitStatus(outcome);
}

}  // namespace

void ApplyRunOptions(TForm1& form, const CliOptions& options) {
  form.CheckBox1.Checked = options.ClearLog;
  if (options.Baud && *options.Baud != kBaudAuto) form.ProgrammerBaud = ParseBaudNumber(*options.Baud);
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
  std::string type;
  std::vector<std::string> commandArgs;
  try {
    const CliCommand& command = MatchCliCommand(options.Words, type, commandArgs);
    if (options.Erase && !(command.Page == "avr" && command.Operation == "write-flash")) {
      throw UsageError("--erase goes only with avr write-flash");
    }
    // A file that cannot serve is refused before the programmer is opened.
    try {
      CheckCommandFile(command, commandArgs);
    } catch (const PinwrightError& e) {
      std::cerr << e.what() << std::endl;
      return kExitError;
    }
    return RunCommand(options, command, type, commandArgs, interrupted);
  } catch (const UsageError& e) {
    return Usage(e.what());
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return kExitError;
  }
}

}  // namespace pw::cli
