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
/// 90 mA bus powered, USB 2.00, CBUS0..4 TXLED RXLED TXDEN PWRON SLEEP.
FtEepromImage FactoryFtEeprom(const std::string& description, const std::string& serial);

/// Fills the record from the image as FT_EE_Read does: the texts go into the buffers the
/// record points at (FT_INVALID_PARAMETER when one of them is null).
FT_STATUS DecodeFtEeprom(const FtEepromImage& image, FT_PROGRAM_DATA& data);

/// Builds the image that FT_EE_Program writes for the record. FT_INVALID_PARAMETER when a
/// text pointer is null or the three texts do not fit the chip's string space.
FT_STATUS EncodeFtEeprom(const FT_PROGRAM_DATA& data, FtEepromImage& image);

/// Reads one of the image's string descriptors (0x0E manufacturer, 0x10 description, 0x12 serial).
std::string FtEepromString(const FtEepromImage& image, int pointerOffset);

}  // namespace pw
