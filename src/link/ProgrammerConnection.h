#pragma once
/// @file
/// Finding, opening and closing the programmer. An operation opens it for one protocol,
/// exchanges pin samples, and closes it again.

#include <cstdint>
#include <string>

#include "d2xx/Wiring.h"
#include "link/D2xxUnit.h"

namespace pw {

/// The description that marks the programmer among the FTDI devices.
inline constexpr const char* kProgrammerDescription = "FT232R USB UART";
/// Stands for a device whose description cannot be listed.
inline constexpr const char* kUnlistedDescription = "aaa";
inline constexpr std::uint32_t kLinkTimeoutMs = 2500;

/// The index of the first device described as the programmer, or 0 when none is.
int FindProgrammerIndex(D2XXUnit& unit);

/// Opens and configures the programmer for mode (d2xx/Wiring.h): its direction mask, then its
/// start-up pulse, if it has one. Does nothing when one is already open. A failure after the device was opened closes
/// it again before the error goes on.
void OpenProgrammer(D2XXUnit& unit, const ProtocolMode& mode, std::int32_t baud);

/// Makes every pin an input and closes the device.
void CloseProgrammer(D2XXUnit& unit);

/// Closes the programmer on a path that is already failing: makes the pins inputs and closes,
/// ignoring further failures, and forgets the handle so the next operation opens afresh.
void AbandonProgrammer(D2XXUnit& unit) noexcept;

}  // namespace pw
