#pragma once
/// @file
/// The commands of the AVR page.

#include <vector>

#include "cli/CliCommands.h"

namespace pw::cli {

/// avr identify, avr read-fuses.
std::vector<CliCommand> AvrCliCommands();

}  // namespace pw::cli
