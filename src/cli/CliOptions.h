#pragma once
/// @file
/// The command line of pinwright-cli.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pw::cli {

/// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitTargetFailed = 2;
inline constexpr int kExitUsage = 64;

struct CliOptions {
  bool Help = false;
  bool Simulator = false;
  std::optional<std::filesystem::path> Bench;
  std::optional<std::filesystem::path> Trace;
  /// --device SERIAL: the real programmer with this serial number.
  std::string Device;
  /// --baud VALUE as given (already checked): "auto" (kBaudAuto) finds the fastest clock an AVR
  /// takes. Kept as text so that other kinds of value can join it.
  std::optional<std::string> Baud;
  bool ClearLog = false;
  bool Yes = false;
  /// With --yes, also answers Yes to questions before work that may make the target unreachable.
  bool Force = false;
  /// PAGE OPERATION [ARGS], as given.
  std::vector<std::string> Words;
};

/// The --baud value that chooses the baud list's "авто" entry.
inline constexpr const char* kBaudAuto = "auto";

/// Parses argv[1..]; raises std::invalid_argument with a message for a malformed line.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

/// The --help text.
const char* CliUsage();

}  // namespace pw::cli
