#pragma once
/// @file
/// The PIC HEX layout: program words from byte address 0, the configuration area at
/// kPicConfigAddress, data memory at kPicDataAddress (each location its byte and 0x00).

#include <cstdint>
#include <filesystem>
#include <string>

#include "frame/MemoryImages.h"

namespace pw {

/// First byte address of the PIC configuration area and of its data memory in a HEX file.
inline constexpr std::uint32_t kPicConfigAddress = 0x4000;
inline constexpr std::uint32_t kPicDataAddress = 0x4200;

/// PIC (HEX only): byte addresses below 0x4000 are program words (FlashImage, FlashDataCount),
/// 0x4000-0x41FF configuration bytes (ConfigImage at address - 0x4000), 0x4200 upward
/// data-memory bytes (EepromImage at address - 0x4200, EepromDataCount). All or nothing, as the
/// loaders of frame/ImageFiles.h; returns the line about wrong checksums, empty when there were none.
std::string LoadPicFile(const std::filesystem::path& file, MemoryImages& images);

}  // namespace pw
