#pragma once
/// @file
/// Why a serial EEPROM on the I2C socket does not answer.

#include <cstdint>
#include <optional>

#include "frame/Diagnosis.h"
#include "i2c/I2cGroups.h"

namespace pw {

/// What a failed transfer to the chip addressed by deviceByte means: an address nobody
/// acknowledged on a free bus, or SDA held low even after the bus clear; nothing for a chip
/// that answered its address and refused a later byte.
std::optional<Diagnosis> DiagnoseI2c(I2cGroupResult result, std::uint8_t deviceByte);

}  // namespace pw
