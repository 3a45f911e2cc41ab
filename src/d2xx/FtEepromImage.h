#pragma once
/// @file
/// The FT232R's 128-byte configuration EEPROM image and its translation to and from the
/// FT_PROGRAM_DATA record. The virtual programmer keeps its EEPROM as such an image; a
/// hardware backend that writes the EEPROM word by word needs the same encoding.

#include <array>
#include <cstdint>
#include <string>

#include "d2xx/D2xx.h"

namespace pw {

using FtEepromImage = std::array<std::uint8_t, 128>;

/// The checksum word stored at 0x7E: over words 0..0x3E, c ^= w, then rotate c left by one.
std::uint16_t FtEepromChecksum(const FtEepromImage& image);

/// A factory-fresh FT232R: FTDI's VID/PID, "FTDI", the given description and serial,
/// 90 mA bus powered with remote wake-up, USB 2.00, serial number on, VCP driver,
/// CBUS0..4 TXLED RXLED TXDEN PWRON SLEEP, and the plug-and-play entry after the strings.
FtEepromImage FactoryFtEeprom(const std::string& description, const std::string& serial);

/// Whether the checksum word at 0x7E is the one the image's other words give: a write that
/// stopped part-way leaves old and new words under a checksum that fits neither.
bool FtEepromChecksumMatches(const FtEepromImage& image);

/// Fills the record from the image as FT_EE_Read does: the texts go into the buffers the
/// record points at (FT_INVALID_PARAMETER when one of them is null). When the checksum does
/// not match, the record is filled all the same and FT_EEPROM_NOT_PROGRAMMED returned, so that
/// a damaged EEPROM can be seen, and programmed anew, but never passes for a good one.
FT_STATUS DecodeFtEeprom(const FtEepromImage& image, FT_PROGRAM_DATA& data);

/// The image's 16-bit word at index (0..63), low byte first.
std::uint16_t FtEepromWord(const FtEepromImage& image, int index);

/// Builds the image that FT_EE_Program writes for the record: the fields, the three strings as
/// USB string descriptors from 0x18, the plug-and-play entry after them, the checksum at 0x7E.
/// FT_INVALID_PARAMETER, and the image kept, when a text pointer is null, the three texts do
/// not fit the chip's string space, or MaxPower does not fit its byte (above 510 mA).
FT_STATUS EncodeFtEeprom(const FT_PROGRAM_DATA& data, FtEepromImage& image);

/// Reads one of the image's string descriptors (0x0E manufacturer, 0x10 description, 0x12 serial).
std::string FtEepromString(const FtEepromImage& image, int pointerOffset);

}  // namespace pw
