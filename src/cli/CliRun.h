#pragma once
/// @file
/// pinwright-cli from its arguments to its exit status.

#include <csignal>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "backend/Backend.h"
#include "cli/CliOptions.h"
#include "frame/OperationRun.h"
#include "frame/ProgramFiles.h"

namespace pw {
class Backend;
}

namespace pw::cli {

class CliHost;

/// Work on the programmer: what a command does with the backend, the terminal and the run.
using ProgrammerWork = std::function<void(Backend&, CliHost&, OperationRun&)>;

/// Runs the command line args (without the program name); returns the exit status. interrupted,
/// when given, is the flag the program's stop-signal handler sets (the signal's number): the operation then stops
/// between pages or groups and the status is 128 + that number (kExitStopped for Ctrl-C).
int RunCli(const std::vector<std::string>& args, const volatile std::sig_atomic_t* interrupted = nullptr);

/// Runs work on the backend the options choose, with the terminal as its reporter: an error it
/// raises is reported, the backend finished and its hint shown; returns the exit status of
/// the run's outcome. A UsageError goes on to the caller.
int RunOnProgrammer(const CliOptions& options, const volatile std::sig_atomic_t* interrupted,
                    const ProgrammerWork& work);

/// The baud value this run opens the programmer at: --baud N, else the eighth line of speed.txt
/// (found as the window finds it), checked as the window's start-up checks it; raises
/// PinwrightError naming speed.txt when that line cannot serve.
std::int32_t RunBaud(const CliOptions& options, const FormPaths& paths);

/// The programmer options name: the virtual one of --simulator's bench, else the real one.
std::unique_ptr<Backend> MakeBackend(const CliOptions& options);

}  // namespace pw::cli
