#pragma once
/// @file
/// A driver that passes every call on to another: the base of a driver that looks at some calls
/// on their way (cli/ExchangeLog.h) and leaves the rest alone.

#include "d2xx/D2xx.h"

namespace pw {

class ForwardingD2xx : public D2xx {
 public:
  explicit ForwardingD2xx(D2xx& inner) : inner_(inner) {}

  FT_STATUS ListDevices(void* arg1, void* arg2, std::uint32_t flags) override {
    return inner_.ListDevices(arg1, arg2, flags);
  }
  FT_STATUS Open(int index, FT_HANDLE* handle) override { return inner_.Open(index, handle); }
  FT_STATUS Close(FT_HANDLE handle) override { return inner_.Close(handle); }
  FT_STATUS Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* got) override {
    return inner_.Read(handle, buffer, count, got);
  }
  FT_STATUS Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) override {
    return inner_.Write(handle, buffer, count, written);
  }
  FT_STATUS SetBaudRate(FT_HANDLE handle, std::uint32_t baud) override { return inner_.SetBaudRate(handle, baud); }
  FT_STATUS SetTimeouts(FT_HANDLE handle, std::uint32_t readMs, std::uint32_t writeMs) override {
    return inner_.SetTimeouts(handle, readMs, writeMs);
  }
  FT_STATUS SetBitMode(FT_HANDLE handle, std::uint8_t mask, std::uint8_t mode) override {
    return inner_.SetBitMode(handle, mask, mode);
  }
  FT_STATUS EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) override { return inner_.EE_Read(handle, data); }
  FT_STATUS EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) override { return inner_.EE_Program(handle, data); }
  void Wait(std::uint32_t ms) override { inner_.Wait(ms); }

 private:
  D2xx& inner_;
};

}  // namespace pw
