#pragma once
/// @file
/// pinwright-cli from its arguments to its exit status.

#include <csignal>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "backend/Backend.h"
#include "cli/CliOptions.h"
#include "frame/ProgramFiles.h"

namespace pw::cli {

/// Runs the command line args (without the program name); returns the exit status. interrupted,
/// when given, is the flag the program's stop-signal handler sets (the signal's number): the operation then stops
/// between pages or groups and the status is 128 + that number (kExitStopped for Ctrl-C).
int RunCli(const std::vector<std::string>& args, const volatile std::sig_atomic_t* interrupted = nullptr);

/// The baud value this run opens the programmer at: --baud N, else the eighth line of speed.txt
/// (found as the window finds it), checked as the window's start-up checks it; raises
/// PinwrightError naming speed.txt when that line cannot serve.
std::int32_t RunBaud(const CliOptions& options, const FormPaths& paths);

/// The programmer options name: the virtual one of --simulator's bench, else the real one.
std::unique_ptr<Backend> MakeBackend(const CliOptions& options);

}  // namespace pw::cli
