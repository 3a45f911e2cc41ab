#pragma once
/// @file
/// The commands of the programmer settings page.

#include <vector>

#include "cli/CliCommands.h"

namespace pw::cli {

/// settings read, settings write CBUS CURRENT USB CLOCK, settings defaults.
std::vector<CliCommand> SettingsCliCommands();
/// The page on the command line.
CliPage SettingsCliPage();

}  // namespace pw::cli
