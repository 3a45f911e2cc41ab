#pragma once
/// @file
/// The PIC HEX layout: program words from byte address 0, the configuration area at
/// kPicConfigAddress, data memory at kPicDataAddress (each location its byte and 0x00). It is
/// where gpasm, MPASM/XC8 and SDCC put a mid-range part's words (IDs 0x2000-0x2003,
/// configuration 0x2007, data memory 0x2100) and where the dump read writes every type's. A
/// baseline part's files hold its configuration word at word 0xFFF and its ID words after
/// program memory: PlacePicWords moves them into the configuration area once the type is known.

#include <cstdint>
#include <filesystem>
#include <string>

#include "frame/ImageFiles.h"
#include "frame/MemoryImages.h"
#include "pic/PicTypes.h"

namespace pw {

/// First byte address of the PIC configuration area and of its data memory in a HEX file.
inline constexpr std::uint32_t kPicConfigAddress = 0x4000;
inline constexpr std::uint32_t kPicDataAddress = 0x4200;
/// The most program words and data-memory locations a type may have: what the layout holds
/// below the configuration area and from kPicDataAddress to the end of the first 64 KiB.
inline constexpr std::int32_t kPicMostProgramWords = kPicConfigAddress / 2;
inline constexpr std::int32_t kPicMostDataLocations = (0x10000 - kPicDataAddress) / 2;
/// Where a baseline part's files hold its configuration word.
inline constexpr std::size_t kPicBaselineConfigWord = 0xFFF;

/// PIC (HEX only): byte addresses below 0x4000 are program words (FlashImage, FlashDataCount),
/// 0x4000-0x4011 the configuration area's words 0x2000-0x2008 (ConfigImage at address -
/// 0x4000), 0x4200-0xFFFF data-memory bytes (EepromImage at address - 0x4200,
/// EepromDataCount). Data anywhere else lands in no memory: the file is refused naming the
/// word address. All or nothing, as the loaders of frame/ImageFiles.h; sets FlashDamaged and
/// EepromDamaged and returns the line about wrong checksums, empty when there were none.
std::string LoadPicFile(const ImageFile& file, MemoryImages& images);

/// For a baseline type: the configuration word a file put at program word 0xFFF and the ID
/// words it put at the four words after program memory go to the configuration area, and out of
/// the program image (FlashDataCount shrinks to what is left). Other types: nothing changes.
/// Whether a word moved.
bool PlacePicWords(MemoryImages& images, const PicTypeValues& type);

}  // namespace pw
