#pragma once
/// @file
/// What can be checked about an operation's file before the programmer is touched: an input
/// file exists, is a regular file and loads (and stays loaded for the operation); an output
/// name is a regular file, a link to one or new, and its (target's) folder takes new files; "-" is
/// standard input or output (common/StandardStreams.h).

#include <ostream>
#include <span>
#include <string>

#include "cli/CliPage.h"

namespace pw::cli {

/// Raises PinwrightError, with a message naming the file, when step's file (its first
/// argument) cannot serve; an input file with a loader is loaded into step.Images (with the
/// loader the device type as typed picks, for an operation whose layout follows the type).
/// format: --format, which the file's name does not override (ByName: none given).
void CheckStepFile(CliStep& step, const std::string& type, FileFormat format = FileFormat::ByName);

/// CheckStepFile for each step in order; "-" (standard input, standard output) may stand for
/// one input file and one output file of a line: a second raises PinwrightError.
void CheckStepFiles(std::span<CliStep> steps, const std::string& type, FileFormat format);

/// Whether a step writes its file to standard output: the log must then go elsewhere.
bool WritesStandardOutput(std::span<const CliStep> steps);
/// Where a command prints what it read (fuses, configuration words): standard output, unless
/// a file goes there.
std::ostream& ResultStream(std::span<const CliStep> steps);

}  // namespace pw::cli
