#pragma once
/// @file
/// What can be checked about an operation's file before the programmer is touched: an input
/// file exists, is a regular file and loads (and stays loaded for the operation); an output
/// name is a regular file, a link to one or new, and its (target's) folder takes new files.

#include <string>

#include "cli/CliPage.h"

namespace pw::cli {

/// Raises PinwrightError, with a message naming the file, when step's file (its first
/// argument) cannot serve; an input file with a loader is loaded into step.Images (with the
/// loader the device type as typed picks, for an operation whose layout follows the type).
void CheckStepFile(CliStep& step, const std::string& type);

}  // namespace pw::cli
