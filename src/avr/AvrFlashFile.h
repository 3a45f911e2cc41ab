#pragma once
/// @file
/// The AVR page's flash file layout: every byte a file holds is a byte of program words.

#include <filesystem>
#include <string>

#include "frame/MemoryImages.h"

namespace pw {

/// AVR flash: a binary file's bytes (".bin", words low byte first), or every record of a HEX
/// file, becomes program words in FlashImage, counted in FlashDataCount and marked in
/// FlashFilled. All or nothing, as the loaders of frame/ImageFiles.h; returns the line about
/// records with a wrong checksum, or an empty text.
std::string LoadAvrFlashFile(const std::filesystem::path& file, MemoryImages& images);

}  // namespace pw
