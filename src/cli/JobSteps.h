#pragma once
/// @file
/// A production job as the pages' own command-line operations: the words a person would type
/// for one chip, parsed and their files loaded once, and a chip's serial number stamped into a
/// copy of the loaded images.

#include <cstdint>
#include <vector>

#include "cli/CliPages.h"
#include "production/ProductionJob.h"

namespace pw::cli {

/// The job's command line (`avr erase write-flash F write-eeprom E write-fuses L H E LOCK`),
/// parsed and preflighted: every file checked and loaded. Raises PinwrightError naming a file
/// that cannot serve, UsageError for a type or byte the page refuses.
CliCommandLine JobCommandLine(const production::ProductionJob& job);

/// The files the job writes, with their SHA-256, for the record.
std::vector<production::FileDigest> JobFiles(const production::ProductionJob& job);

/// steps with bytes laid at stamp's address of its memory, in copies of the loaded images, so
/// that every write and its verify carry them. Raises PinwrightError when they do not fit.
std::vector<CliStep> StampedSteps(const std::vector<CliStep>& steps, const production::SerialStamp& stamp,
                                  const std::vector<std::uint8_t>& bytes);

}  // namespace pw::cli
