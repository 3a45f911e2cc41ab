#pragma once
/// @file
/// The raw trace: one byte per sample, bit n the level of line Dn during that sample. sigrok-cli
/// and PulseView read it as "binary" logic data with eight channels.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace pw::sim {

class SimTrace {
 public:
  /// Starts a new trace file; raises PinwrightError when it cannot be created.
  explicit SimTrace(const std::filesystem::path& path);
  ~SimTrace();
  SimTrace(const SimTrace&) = delete;
  SimTrace& operator=(const SimTrace&) = delete;

  void Append(std::uint8_t levels);
  void Flush();

 private:
  std::ofstream file_;
  std::vector<char> pending_;
};

}  // namespace pw::sim
