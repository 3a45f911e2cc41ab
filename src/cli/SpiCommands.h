#pragma once
/// @file
/// The SPI Flash page on the command line: spi identify | read FILE | write FILE | erase |
/// verify FILE, any of them in one run.

#include "cli/CliPage.h"

namespace pw::cli {

CliPage SpiCliPage();

}  // namespace pw::cli
