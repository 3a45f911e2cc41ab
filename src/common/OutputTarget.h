#pragma once
/// @file
/// Which file an output name really writes: the name itself, or the file its symbolic links lead
/// to; never a pipe, a device or a folder.

#include <filesystem>
#include <string>

#include "common/RegularFile.h"

namespace pw {

/// Why an output file could not be written, with the name a person gave: the one form of every
/// such report.
std::string OutputFailure(const std::filesystem::path& file, const std::string& why);

/// The file that writing file replaces: file itself, or the end of its chain of symbolic links
/// (relative links are taken from their own folder), which may not exist yet. Raises
/// PinwrightError (OutputFailure naming file) when that end exists but is no regular file (a
/// pipe, a device, a folder, a socket) or the chain does not end.
std::filesystem::path OutputTarget(const std::filesystem::path& file);

}  // namespace pw
