#pragma once
/// @file
/// An FT_PROGRAM_DATA record with text buffers of its own, ready for FT_EE_Read or
/// DecodeFtEeprom to fill.

#include "d2xx/FtProgramData.h"

namespace pw::test {

struct FtRecord {
  FtRecord() {
    Data.Signature2 = 0xFFFFFFFF;
    Data.Manufacturer = Manufacturer;
    Data.ManufacturerId = ManufacturerId;
    Data.Description = Description;
    Data.SerialNumber = Serial;
  }
  // A copy's text pointers would still point at the buffers of the record it was copied from.
  FtRecord(const FtRecord&) = delete;
  FtRecord& operator=(const FtRecord&) = delete;

  char Manufacturer[kFtManufacturerSize] = {};
  char ManufacturerId[kFtManufacturerIdSize] = {};
  char Description[kFtDescriptionSize] = {};
  char Serial[kFtSerialNumberSize] = {};
  FT_PROGRAM_DATA Data{};
};

}  // namespace pw::test
