#include "sim/SimFaults.h"

#include "ini/IniFile.h"

namespace pw::sim {

std::optional<SimCall> SimCallNamed(const std::string& name) {
  static constexpr const char* kNames[] = {"ListDevices", "Open",        "Close",      "Read",    "Write",
                                           "SetBaudRate", "SetTimeouts", "SetBitMode", "EE_Read", "EE_Program"};
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    if (SameName(name, kNames[i])) return static_cast<SimCall>(i);
  }
  return std::nullopt;
}

void SimFaults::FailCall(SimCall call, std::uint32_t occurrence, FT_STATUS status) {
  failures_.push_back({call, occurrence, status});
}

void SimFaults::ShortRead(std::uint32_t occurrence, std::uint32_t bytes) { shortReads_.push_back({occurrence, bytes}); }

FT_STATUS SimFaults::Count(SimCall call) {
  const std::uint32_t n = ++counts_[static_cast<std::size_t>(call)];
  for (const auto& f : failures_) {
    if (f.Call == call && f.Occurrence == n) return f.Status;
  }
  return FT_OK;
}

std::uint32_t SimFaults::ReadLimit(std::uint32_t wanted) const {
  const std::uint32_t n = Calls(SimCall::Read);
  for (const auto& s : shortReads_) {
    if (s.Occurrence == n && s.Bytes < wanted) return s.Bytes;
  }
  return wanted;
}

}  // namespace pw::sim
