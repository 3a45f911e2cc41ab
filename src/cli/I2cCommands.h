#pragma once
/// @file
/// The commands of the I2C EEPROM page.

#include <vector>

#include "cli/CliCommands.h"

namespace pw::cli {

/// i2c TYPE read FILE, i2c TYPE write FILE, i2c TYPE erase, i2c TYPE verify FILE.
std::vector<CliCommand> I2cCliCommands();
/// The page on the command line.
CliPage I2cCliPage();

}  // namespace pw::cli
