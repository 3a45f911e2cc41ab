#include "link/FtStatus.h"

#include <array>

#include "common/Error.h"

namespace pw {
namespace {

// The wording, blanks and the missing dash of 8 and 9 are the texts users have always seen.
constexpr std::array<const char*, 18> kStatusTexts = {
    "",
    " - Invalid handle...",
    " - Device not found...",
    " - Device not opened...",
    " - General IO error...",
    " - Insufficient resources...",
    " - Invalid parameter...",
    " - Invalid baud rate...",
    " Device not opened for erase...",
    " Device not opened for write...",
    " - Failed to write...",
    " - EEPROM read failed...",
    " - EEPROM write failed...",
    " - EEPROM erase failed...",
    " - EEPROM not present...",
    " - EEPROM not programmed...",
    " - Invalid arguments...",
    " - Other error ...",
};

}  // namespace

const char* FtStatusText(FT_STATUS status) { return status < kStatusTexts.size() ? kStatusTexts[status] : ""; }

std::string FtErrorMessage(const std::string& name, FT_STATUS status) {
  if (status == 0) return "";
  // A driver newer than the table still gets a message a person can quote.
  if (status >= kStatusTexts.size()) return name + " - Unknown error (status " + std::to_string(status) + ")...";
  return name + kStatusTexts[status];
}

void RaiseFtError(const std::string& name, FT_STATUS status) {
  if (status != FT_OK) throw PinwrightError(FtErrorMessage(name, status));
}

}  // namespace pw
