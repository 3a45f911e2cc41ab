#pragma once
/// @file
/// The commands of the PIC page.

#include <vector>

#include "cli/CliCommands.h"

namespace pw::cli {

/// pic TYPE read-config | write-config WORD | erase | read-dump FILE | write-dump FILE |
/// write-flash FILE | write-eeprom FILE.
std::vector<CliCommand> PicCliCommands();
/// The page on the command line.
CliPage PicCliPage();

}  // namespace pw::cli
