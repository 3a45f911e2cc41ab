#pragma once
/// @file
/// I2C EEPROM types from I2C_E.ini: one section per type, named as the maker writes the part,
/// with its size, addressing and page size; and what a type must be for an operation to use it.

#include <cstdint>
#include <string>

#include "frame/Frame.h"
#include "i2c/I2cAddressing.h"
#include "i2c/I2cGroups.h"
#include "ini/IniFile.h"

namespace pw {

inline constexpr const char* kI2cTypesFile = "I2C_E.ini";

/// The standard-mode bus clock (kHz).
inline constexpr std::int32_t kI2cStandardKHz = 100;

/// What I2C_E.ini says of one type; a missing key gives the default here.
struct I2cType {
  /// The section's name.
  std::string Name;
  /// Key Size: the capacity in bytes.
  std::int32_t EepromSize = 0;
  /// Key Protocol: the addressing scheme (I2cAddressing); 0 when the file's value is none the
  /// program knows.
  std::uint8_t I2cProtocol = 2;
  /// Key PageSize: writes go in page-aligned groups of this many bytes; 0 when the file's value
  /// cannot be a page size (not a number, below 1, beyond any chip).
  std::int32_t PageSize = I2cGroups::kGroupBytes;
  /// Key PageSize as the file gives it, for the message that refuses it.
  std::string PageSizeText = std::to_string(I2cGroups::kGroupBytes);
  /// Key Protocol as the file gives it, for the message that refuses it.
  std::string ProtocolText = "2";

  /// Why a type the file describes cannot be used, as the operations would refuse it; empty when
  /// it can (and for a type the file does not describe: nothing to show before an operation).
  std::string Problem;
  /// Key ClockKHz: the fastest SCL the datasheet allows; without it (or with no number above 0)
  /// the standard mode's, which every 24Cxx takes.
  std::int32_t ClockKHz = kI2cStandardKHz;

  I2cAddressing Addressing() const { return {I2cProtocol}; }
};

/// The values of section name (any letter case); a missing file or section gives the defaults.
I2cType ReadI2cType(const IniFile& types, const std::string& name);

/// Why an operation on bytes bytes of type cannot begin (a size that is no number, an addressing
/// scheme the program does not know, a size larger than the addressing reaches, or smaller than the data), ending with
/// cancelled; nothing when it can.
Refusal I2cSizeProblem(const I2cType& type, std::int32_t bytes, const char* cancelled);
/// I2cSizeProblem, then a page size that cannot be the chip's page: writes would roll over inside it.
Refusal I2cWriteProblem(const I2cType& type, std::int32_t bytes, const char* cancelled);

}  // namespace pw
