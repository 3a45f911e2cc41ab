#pragma once
/// @file
/// The programmer settings page on the command line: settings read | write CBUS CURRENT USB
/// CLOCK | defaults.

#include "cli/CliPage.h"

namespace pw::cli {

CliPage SettingsCliPage();

}  // namespace pw::cli
