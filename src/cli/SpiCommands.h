#pragma once
/// @file
/// The commands of the SPI Flash page.

#include <vector>

#include "cli/CliCommands.h"

namespace pw::cli {

/// spi identify, spi read FILE, spi write FILE, spi erase, spi verify FILE.
std::vector<CliCommand> SpiCliCommands();
/// The page on the command line.
CliPage SpiCliPage();

}  // namespace pw::cli
