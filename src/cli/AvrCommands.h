#pragma once
/// @file
/// The commands of the AVR page.

#include <vector>

#include "cli/CliCommands.h"

namespace pw::cli {

/// avr identify, read-fuses, read-flash, write-flash, read-eeprom, write-eeprom, write-fuses, erase, reset,
/// verify-flash, verify-eeprom, blank-check.
std::vector<CliCommand> AvrCliCommands();
/// The page on the command line.
CliPage AvrCliPage();

}  // namespace pw::cli
