#pragma once
/// @file
/// The driver of a machine with no programmer: no device is ever found.

#include "d2xx/D2xx.h"

namespace pw {

class AbsentD2xx : public D2xx {
 public:
  FT_STATUS ListDevices(void* arg1, void*, std::uint32_t flags) override {
    if ((flags & FT_LIST_NUMBER_ONLY) && arg1) {
      *static_cast<std::uint32_t*>(arg1) = 0;
      return FT_OK;
    }
    return FT_DEVICE_NOT_FOUND;
  }
  FT_STATUS Open(int, FT_HANDLE*) override { return FT_DEVICE_NOT_FOUND; }
  FT_STATUS Close(FT_HANDLE) override { return FT_INVALID_HANDLE; }
  FT_STATUS Read(FT_HANDLE, void*, std::uint32_t, std::uint32_t*) override { return FT_INVALID_HANDLE; }
  FT_STATUS Write(FT_HANDLE, const void*, std::uint32_t, std::uint32_t*) override { return FT_INVALID_HANDLE; }
  FT_STATUS SetBaudRate(FT_HANDLE, std::uint32_t) override { return FT_INVALID_HANDLE; }
  FT_STATUS SetTimeouts(FT_HANDLE, std::uint32_t, std::uint32_t) override { return FT_INVALID_HANDLE; }
  FT_STATUS SetBitMode(FT_HANDLE, std::uint8_t, std::uint8_t) override { return FT_INVALID_HANDLE; }
  FT_STATUS EE_Read(FT_HANDLE, FT_PROGRAM_DATA*) override { return FT_INVALID_HANDLE; }
  FT_STATUS EE_Program(FT_HANDLE, FT_PROGRAM_DATA*) override { return FT_INVALID_HANDLE; }
  void Wait(std::uint32_t) override {}
};

}  // namespace pw
