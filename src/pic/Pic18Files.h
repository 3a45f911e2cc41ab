#pragma once
/// @file
/// The PIC18 HEX layout, as gpasm, XC8 and SDCC write it and the PIC18 dump read saves it: byte
/// addresses, program bytes from 0 (word w is bytes 2w, 2w + 1), the ID bytes at 0x200000, the
/// configuration bytes at 0x300000 and data EEPROM location k at 0xF00000 + k. Which layout a
/// PIC file is read with follows the type (PicFileLoader).

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "frame/ImageFiles.h"
#include "frame/MemoryImages.h"
#include "pic/PicConfigArea.h"
#include "pic/PicTypes.h"

namespace pw {

/// Where a PIC18 file holds its ID bytes, configuration bytes and data EEPROM.
inline constexpr std::uint32_t kPic18IdAddress = 0x200000;
inline constexpr std::uint32_t kPic18ConfigAddress = 0x300000;
inline constexpr std::uint32_t kPic18DataAddress = 0xF00000;

/// PIC18 (HEX only): program bytes into FlashImage words (FlashDataCount, FlashFilled), the ID
/// bytes into ConfigImage bytes 0 to 7 and the configuration bytes into ConfigImage bytes 14 to
/// 27 (the rest of the area 0xFF), data EEPROM location k into EepromImage[2k] (EepromDataCount
/// counts 2 per location, EepromFilled marks the even bytes). Data anywhere else lands in no
/// memory: the file is refused naming the address. All or nothing and with the same checksum
/// handling as LoadPicFile.
std::string LoadPic18File(const ImageFile& file, MemoryImages& images);

/// The records of a PIC18 dump: program words (low byte first), the ID bytes and the 14
/// configuration bytes of area, then the data-memory bytes, 16 data bytes per full record, each
/// 64 KiB block after its extended linear address record, lines ending in CR LF, no end record
/// (SaveHexText adds it).
std::string Pic18DumpHex(std::span<const std::uint16_t> program, const PicConfigArea& area,
                         std::span<const std::uint8_t> data);

/// How a PIC file loads: the function the type's layout needs.
using PicLoader = std::string (*)(const ImageFile&, MemoryImages&);

/// LoadPic18File for a PIC18 type, LoadPicFile for any other.
PicLoader PicFileLoader(const PicTypeValues& type);

}  // namespace pw
