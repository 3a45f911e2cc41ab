#pragma once
/// @file
/// The I2C EEPROM page on the command line: i2c TYPE read FILE | write FILE | verify FILE | erase.

#include "cli/CliPage.h"

namespace pw::cli {

CliPage I2cCliPage();

}  // namespace pw::cli
