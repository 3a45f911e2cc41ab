#pragma once
/// @file
/// The texts of failed D2XX calls.

#include <string>

#include "d2xx/D2xx.h"

namespace pw {

/// The text appended to an operation's name for status 1..17; empty for any other status.
const char* FtStatusText(FT_STATUS status);

/// The message of a failed call: name directly followed by the status text for 1..17
/// ("FT_Open - Device not found..."); above 17, the status number ("FT_Open - Unknown error
/// (status 18)..."); empty for 0.
std::string FtErrorMessage(const std::string& name, FT_STATUS status);

/// Raises PinwrightError with FtErrorMessage(name, status) unless status is 0.
void RaiseFtError(const std::string& name, FT_STATUS status);

}  // namespace pw
