#pragma once
/// @file
/// A driver with no FT232R behind it: it records every sample written and answers reads from a
/// rule, for checking the exact sample runs of the AVR instructions.

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "d2xx/D2xx.h"

namespace pw::test {

class ScriptedD2xx : public D2xx {
 public:
  /// Every write, in order.
  std::vector<std::vector<std::uint8_t>> Writes;
  std::vector<std::uint32_t> Waits;
  /// The pin state read back for sample i of a read.
  std::function<std::uint8_t(std::uint32_t)> Reply = [](std::uint32_t) { return std::uint8_t{0xFF}; };

  std::vector<std::uint8_t> AllWritten() const {
    std::vector<std::uint8_t> all;
    for (const auto& w : Writes) all.insert(all.end(), w.begin(), w.end());
    return all;
  }

  FT_STATUS ListDevices(void*, void*, std::uint32_t) override { return FT_OK; }
  FT_STATUS Open(int, FT_HANDLE* handle) override {
    *handle = 1;
    return FT_OK;
  }
  FT_STATUS Close(FT_HANDLE) override { return FT_OK; }
  FT_STATUS Read(FT_HANDLE, void* buffer, std::uint32_t count, std::uint32_t* got) override {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    for (std::uint32_t i = 0; i < count; ++i) bytes[i] = Reply(i);
    *got = count;
    return FT_OK;
  }
  FT_STATUS Write(FT_HANDLE, const void* buffer, std::uint32_t count, std::uint32_t* written) override {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    Writes.emplace_back(bytes, bytes + count);
    *written = count;
    return FT_OK;
  }
  FT_STATUS SetBaudRate(FT_HANDLE, std::uint32_t) override { return FT_OK; }
  FT_STATUS SetTimeouts(FT_HANDLE, std::uint32_t, std::uint32_t) override { return FT_OK; }
  FT_STATUS SetBitMode(FT_HANDLE, std::uint8_t, std::uint8_t) override { return FT_OK; }
  FT_STATUS EE_Read(FT_HANDLE, FT_PROGRAM_DATA*) override { return FT_OK; }
  FT_STATUS EE_Program(FT_HANDLE, FT_PROGRAM_DATA*) override { return FT_OK; }
  void Wait(std::uint32_t ms) override { Waits.push_back(ms); }
};

}  // namespace pw::test
