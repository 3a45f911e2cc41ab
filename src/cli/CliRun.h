#pragma once
/// @file
/// pinwright-cli from its arguments to its exit status.

#include <string>
#include <vector>

namespace pw::cli {

/// Runs the command line args (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& args);

}  // namespace pw::cli
