#pragma once
/// @file
/// pinwright-cli from its arguments to its exit status.

#include <csignal>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "cli/CliOptions.h"

namespace pw::cli {

/// Runs the command line args (without the program name); returns the exit status. interrupted,
/// when given, is the flag the program's SIGINT handler sets: the operation then stops between
/// pages or groups and the status is kExitStopped.
int RunCli(const std::vector<std::string>& args, const volatile std::sig_atomic_t* interrupted = nullptr);

/// What the options set in a started window model for this run: "Очищать лог", and the baud
/// value of --baud in place of the one speed.txt gave.
void ApplyRunOptions(TForm1& form, const CliOptions& options);

}  // namespace pw::cli
