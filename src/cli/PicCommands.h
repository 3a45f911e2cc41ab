#pragma once
/// @file
/// The commands of the PIC page.

#include "cli/CliPage.h"

namespace pw::cli {

/// pic TYPE read-config | write-config WORD | erase | read-dump FILE | write-dump FILE |
/// write-flash FILE | write-eeprom FILE: any of them, one after another, in one run of the frame.
CliPage PicCliPage();

}  // namespace pw::cli
