#pragma once
/// @file
/// Makes the simulated chips a bench file names, by the part names their makers use.

#include <memory>
#include <string>

#include "ini/IniFile.h"
#include "sim/SimChips.h"

namespace pw::sim {

/// The chip of bench section section ("AVR", "PIC", "I2C"), with its Part= and the section's other
/// settings applied. Raises PinwrightError for a part it does not know or a bad setting.
std::unique_ptr<SimAvrChip> MakeSimAvr(const IniFile& bench, const std::string& section);
std::unique_ptr<SimPicChip> MakeSimPic(const IniFile& bench, const std::string& section);
std::unique_ptr<SimI2cChip> MakeSimI2c(const IniFile& bench, const std::string& section);
/// The flash of section, with Status= (hex, the protection bits it starts with) applied.
std::unique_ptr<SimSpiChip> MakeSimSpi(const IniFile& bench, const std::string& section);

}  // namespace pw::sim
