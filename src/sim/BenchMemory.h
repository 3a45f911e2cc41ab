#pragma once
/// @file
/// Memory files of a bench: raw binary images of a chip's memories.

#include <cstdint>
#include <filesystem>
#include <span>

namespace pw::sim {

/// Fills memory from the start of file; a missing file leaves it as it is (an erased chip). Raises
/// PinwrightError when the file is larger than the memory or cannot be read.
void LoadMemoryFile(const std::filesystem::path& file, std::span<std::uint8_t> memory);

/// Writes memory to file, replacing it only once written completely.
void SaveMemoryFile(const std::filesystem::path& file, std::span<const std::uint8_t> memory);

}  // namespace pw::sim
