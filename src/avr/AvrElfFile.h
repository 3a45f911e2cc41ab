#pragma once
/// @file
/// An avr-gcc ELF file as the AVR page's flash or EEPROM file: its loadable segments placed by
/// their load addresses (elffile/AvrElf.h), flash from 0, EEPROM from kAvrElfEepromBase.
/// Segments for the other memories (data memory, fuses, lock bits, signature) are left out.

#include "frame/ImageFiles.h"
#include "frame/MemoryImages.h"

namespace pw {

/// The flash segments (.text, .data's initial values) into FlashImage as program words, low
/// byte first, marked in FlashFilled, FlashDataCount one past the highest word; the EEPROM
/// segment (.eeprom) into EepromImage, marked in EepromFilled, EepromDataCount one past the
/// highest byte. A file that is no AVR ELF file, is damaged, holds nothing for the memory or more
/// than its image holds raises PinwrightError and leaves images as they were.
void LoadAvrElfFlash(const ImageFile& file, MemoryImages& images);
void LoadAvrElfEeprom(const ImageFile& file, MemoryImages& images);

}  // namespace pw
