#pragma once
/// @file
/// The AVR page's file layouts: every byte a flash file holds is a byte of program words; an
/// ELF file gives each memory its own segments (avr/AvrElfFile.h).

#include <string>

#include "frame/ImageFiles.h"
#include "frame/MemoryImages.h"

namespace pw {

/// AVR flash: an ELF file's flash segments, a binary file's bytes (words low byte first), or every record of a HEX
/// file, becomes program words in FlashImage, counted in FlashDataCount and marked in
/// FlashFilled. All or nothing, as the loaders of frame/ImageFiles.h; returns the line about
/// records with a wrong checksum, or an empty text.
std::string LoadAvrFlashFile(const ImageFile& file, MemoryImages& images);

/// AVR EEPROM: an ELF file's EEPROM segment (.eeprom), else LoadEepromFile.
std::string LoadAvrEepromFile(const ImageFile& file, MemoryImages& images);

}  // namespace pw
