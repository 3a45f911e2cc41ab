#pragma once
/// @file
/// The I2C page's log lines for the bus scan.

#include <string>

namespace pw::texts {

/// The scan's first line, naming the addresses it probes.
inline constexpr const char* kI2cScanStart = "поиск устройств на шине I2C, адреса 0x08..0x77";
/// The scan's result: the 7-bit addresses that acknowledged, each as " 0x50".
inline std::string I2cScanFound(const std::string& addresses) { return "на шине отвечают:" + addresses; }
/// The scan's result when no address acknowledged.
inline constexpr const char* kI2cScanNone = "на шине не отвечает ни одно устройство";

}  // namespace pw::texts
