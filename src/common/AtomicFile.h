#pragma once
/// @file
/// Replacing a file only once its new content is completely written.

#include <filesystem>
#include <string_view>

namespace pw {

/// Writes data to a temporary file beside path, forces it to the disk, renames it over path and
/// forces the folder to the disk. A failure raises
/// PinwrightError naming the file and leaves whatever path held untouched.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view data);

}  // namespace pw
