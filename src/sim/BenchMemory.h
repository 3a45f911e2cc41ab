#pragma once
/// @file
/// Memory files of a bench: raw binary images of a chip's memories.

#include <cstdint>
#include <filesystem>
#include <span>

namespace pw::sim {

/// The largest memory file read: above any simulated memory.
inline constexpr std::uintmax_t kMemoryFileLimit = 16u << 20;

/// Fills memory with file; a missing file leaves it as it is (an erased chip). Raises
/// PinwrightError when file is a folder or no regular file, when its size differs from the
/// memory's, or when it cannot be read.
void LoadMemoryFile(const std::filesystem::path& file, std::span<std::uint8_t> memory);

/// Writes memory to file, replacing it only once written completely.
void SaveMemoryFile(const std::filesystem::path& file, std::span<const std::uint8_t> memory);

}  // namespace pw::sim
