#pragma once
/// @file
/// What can be checked about a command's file before the programmer is touched: an input file
/// exists, is a regular file and loads; an output file's folder exists and takes new files.

#include <string>
#include <vector>

#include "cli/CliCommands.h"

namespace pw::cli {

/// Raises PinwrightError, with a message naming the file, when command's file (its first
/// argument) cannot serve; does nothing for commands without a file.
void CheckCommandFile(const CliCommand& command, const std::vector<std::string>& args);

}  // namespace pw::cli
