#pragma once
/// @file
/// Finding, opening and closing the programmer. An operation opens it for one protocol,
/// exchanges pin samples, and closes it again.

#include <cstdint>
#include <string>

#include "link/D2xxUnit.h"

namespace pw {

/// Mode names of the protocols, compared exactly.
inline constexpr const char* kModeAvr = "AVR-ISP";
inline constexpr const char* kModePic = "PIC-ISP";
inline constexpr const char* kModeI2c = "I2C-Eeprom";
inline constexpr const char* kModeNone = "NO";

/// The description that marks the programmer among the FTDI devices.
inline constexpr const char* kProgrammerDescription = "FT232R USB UART";
/// Stands for a device whose description cannot be listed.
inline constexpr const char* kUnlistedDescription = "aaa";
inline constexpr std::uint32_t kLinkTimeoutMs = 2500;
inline constexpr std::uint32_t kAvrStartPulseMs = 10;

/// The direction mask of a mode (a set bit makes that pin an output); 0 for unknown names.
std::uint8_t ModeMask(const std::string& mode);

/// The index of the first device described as the programmer, or 0 when none is.
int FindProgrammerIndex(D2XXUnit& unit);

/// Opens and configures the programmer for mode; does nothing when one is already open. A failure
/// after the device was opened closes it again before the error goes on.
void OpenProgrammer(D2XXUnit& unit, const std::string& mode, std::int32_t baud);

/// Makes every pin an input and closes the device.
void CloseProgrammer(D2XXUnit& unit);

/// Closes the programmer on a path that is already failing: makes the pins inputs and closes,
/// ignoring further failures, and forgets the handle so the next operation opens afresh.
void AbandonProgrammer(D2XXUnit& unit) noexcept;

}  // namespace pw
