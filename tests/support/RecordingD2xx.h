#pragma once
/// @file
/// A driver that passes every call to another one and writes each down, so a test can compare
/// the calls an operation made with the ones it should make.

#include <string>
#include <vector>

#include "d2xx/D2xx.h"

namespace pw::test {

class RecordingD2xx : public D2xx {
 public:
  explicit RecordingD2xx(D2xx& inner) : inner_(inner) {}

  /// One entry a call, e.g. "Open(1)", "SetBitMode(68,4)", "Write(00 40)", "Read(2)", "Wait(10)".
  std::vector<std::string> Calls;

  FT_STATUS ListDevices(void* arg1, void* arg2, std::uint32_t flags) override;
  FT_STATUS Open(int index, FT_HANDLE* handle) override;
  FT_STATUS Close(FT_HANDLE handle) override;
  FT_STATUS Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* got) override;
  FT_STATUS Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) override;
  FT_STATUS SetBaudRate(FT_HANDLE handle, std::uint32_t baud) override;
  FT_STATUS SetTimeouts(FT_HANDLE handle, std::uint32_t readMs, std::uint32_t writeMs) override;
  FT_STATUS SetBitMode(FT_HANDLE handle, std::uint8_t mask, std::uint8_t mode) override;
  FT_STATUS EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) override;
  FT_STATUS EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) override;
  void Wait(std::uint32_t ms) override;

 private:
  D2xx& inner_;
};

/// Two upper-case hex digits.
std::string Hex2(unsigned value);

}  // namespace pw::test
