#include "support/RecordingD2xx.h"

#include "common/HexDigits.h"

namespace pw::test {

std::string Hex2(unsigned value) { return HexDigits(value, 2); }

FT_STATUS RecordingD2xx::ListDevices(void* arg1, void* arg2, std::uint32_t flags) {
  if (flags & FT_LIST_NUMBER_ONLY) {
    Calls.push_back("ListDevices(count)");
  } else {
    Calls.push_back("ListDevices(" + std::to_string(reinterpret_cast<std::uintptr_t>(arg1)) + ")");
  }
  return inner_.ListDevices(arg1, arg2, flags);
}

FT_STATUS RecordingD2xx::Open(int index, FT_HANDLE* handle) {
  Calls.push_back("Open(" + std::to_string(index) + ")");
  return inner_.Open(index, handle);
}

FT_STATUS RecordingD2xx::Close(FT_HANDLE handle) {
  Calls.push_back("Close");
  return inner_.Close(handle);
}

FT_STATUS RecordingD2xx::Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* got) {
  Calls.push_back("Read(" + std::to_string(count) + ")");
  return inner_.Read(handle, buffer, count, got);
}

FT_STATUS RecordingD2xx::Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) {
  std::string bytes;
  const auto* p = static_cast<const std::uint8_t*>(buffer);
  for (std::uint32_t i = 0; i < count && i < 16; ++i) bytes += (i ? " " : "") + Hex2(p[i]);
  if (count > 16) bytes += " ...";
  Calls.push_back("Write(" + bytes + ")");
  return inner_.Write(handle, buffer, count, written);
}

FT_STATUS RecordingD2xx::SetBaudRate(FT_HANDLE handle, std::uint32_t baud) {
  Calls.push_back("SetBaudRate(" + std::to_string(baud) + ")");
  return inner_.SetBaudRate(handle, baud);
}

FT_STATUS RecordingD2xx::SetTimeouts(FT_HANDLE handle, std::uint32_t readMs, std::uint32_t writeMs) {
  Calls.push_back("SetTimeouts(" + std::to_string(readMs) + "," + std::to_string(writeMs) + ")");
  return inner_.SetTimeouts(handle, readMs, writeMs);
}

FT_STATUS RecordingD2xx::SetBitMode(FT_HANDLE handle, std::uint8_t mask, std::uint8_t mode) {
  Calls.push_back("SetBitMode(" + Hex2(mask) + "," + std::to_string(mode) + ")");
  return inner_.SetBitMode(handle, mask, mode);
}

FT_STATUS RecordingD2xx::EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  Calls.push_back("EE_Read");
  return inner_.EE_Read(handle, data);
}

FT_STATUS RecordingD2xx::EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  Calls.push_back("EE_Program");
  return inner_.EE_Program(handle, data);
}

void RecordingD2xx::Wait(std::uint32_t ms) {
  Calls.push_back("Wait(" + std::to_string(ms) + ")");
  inner_.Wait(ms);
}

}  // namespace pw::test
