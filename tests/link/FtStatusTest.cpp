#include <gtest/gtest.h>

#include "common/Error.h"
#include "link/FtStatus.h"

namespace pw {
namespace {

std::string MessageOf(const std::string& name, FT_STATUS status) {
  try {
    RaiseFtError(name, status);
  } catch (const PinwrightError& e) {
    return e.what();
  }
  ADD_FAILURE() << "status " << status << " raised nothing";
  return "";
}

TEST(FtStatus, SuccessRaisesNothing) { EXPECT_NO_THROW(RaiseFtError("FT_Open", FT_OK)); }

TEST(FtStatus, EveryKnownStatusAppendsItsText) {
  const std::pair<FT_STATUS, const char*> table[] = {
      {1, "FT_Open - Invalid handle..."},
      {2, "FT_Open - Device not found..."},
      {3, "FT_Open - Device not opened..."},
      {4, "FT_Open - General IO error..."},
      {5, "FT_Open - Insufficient resources..."},
      {6, "FT_Open - Invalid parameter..."},
      {7, "FT_Open - Invalid baud rate..."},
      {8, "FT_Open Device not opened for erase..."},
      {9, "FT_Open Device not opened for write..."},
      {10, "FT_Open - Failed to write..."},
      {11, "FT_Open - EEPROM read failed..."},
      {12, "FT_Open - EEPROM write failed..."},
      {13, "FT_Open - EEPROM erase failed..."},
      {14, "FT_Open - EEPROM not present..."},
      {15, "FT_Open - EEPROM not programmed..."},
      {16, "FT_Open - Invalid arguments..."},
      {17, "FT_Open - Other error ..."},
  };
  for (const auto& [status, text] : table) EXPECT_EQ(MessageOf("FT_Open", status), text) << status;
}

TEST(FtStatus, NamesKeepTheirTrailingBlank) {
  EXPECT_EQ(MessageOf("FT_SetBitMode ", 1), "FT_SetBitMode  - Invalid handle...");
  EXPECT_EQ(MessageOf("FT_EE_Read ", 11), "FT_EE_Read  - EEPROM read failed...");
}

// Before, these raised an empty message: the error box and the CLI said nothing at all.
TEST(FtStatus, StatusAbove17NamesItsNumber) {
  EXPECT_EQ(MessageOf("FT_Open", 18), "FT_Open - Unknown error (status 18)...");
  EXPECT_EQ(MessageOf("FT_Write", 0xFFFFFFFFu), "FT_Write - Unknown error (status 4294967295)...");
}

}  // namespace
}  // namespace pw
