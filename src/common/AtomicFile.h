#pragma once
/// @file
/// Replacing a file only once its new content is completely written.

#include <filesystem>
#include <string_view>

namespace pw {

/// Writes data to a temporary file beside path and renames it over path. A failure raises
/// PinwrightError naming the file and leaves whatever path held untouched.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view data);

}  // namespace pw
