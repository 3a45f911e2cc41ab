#pragma once
/// @file
/// The commands of the AVR page.

#include "cli/CliPage.h"

namespace pw::cli {

/// avr identify, read-fuses, read-flash, write-flash, read-eeprom, write-eeprom, write-fuses,
/// verify-flash, verify-eeprom, blank-check, erase, reset: one run of the AVR operations.
CliPage AvrCliPage();

}  // namespace pw::cli
