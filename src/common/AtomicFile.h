#pragma once
/// @file
/// Replacing a file only once its new content is completely written.

#include <filesystem>
#include <string_view>

namespace pw {

/// What names every temporary file a save writes, between the hidden file's name and its random
/// tail: ".out.hex.pinwright-Xy3k9Q". A save killed before its rename leaves such a file.
inline constexpr const char* kAtomicTempMark = ".pinwright-";

/// Writes data to a new temporary file of its own beside the file path names (through its
/// symbolic links: OutputTarget), forces it to the disk, renames it over that file and forces
/// the folder to the disk. The rename is the only moment the name changes: two saves to one
/// name leave one of them whole. A new file gets the permissions the umask gives, a replaced
/// one keeps its own. A failure raises PinwrightError naming the file and leaves whatever path
/// held untouched, and no temporary file.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view data);

}  // namespace pw
