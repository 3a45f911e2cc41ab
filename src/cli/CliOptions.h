#pragma once
/// @file
/// The command line of pinwright-cli.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "frame/ImageFiles.h"

namespace pw::cli {

/// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitTargetFailed = 2;
inline constexpr int kExitUsage = 64;
/// The operation stopped at Ctrl-C (128 + SIGINT, as shells report it).
inline constexpr int kExitStopped = 130;
/// A stop asked by another signal N (SIGTERM, SIGHUP) ends with 128 + N: what a script sees when
/// that signal ends a program, though this one stopped cleanly and said what it left undone.
inline constexpr int kExitSignalBase = 128;

struct CliOptions {
  bool Help = false;
  bool Version = false;
  /// -v: also a line for every exchange with the programmer and its size.
  bool Verbose = false;
  /// -q: only error reports and the outcome.
  bool Quiet = false;
  bool Simulator = false;
  std::optional<std::filesystem::path> Bench;
  std::optional<std::filesystem::path> Trace;
  /// --device SERIAL: the real programmer with this serial number.
  std::string Device;
  /// --baud VALUE as given (already checked): a number of baud for this run instead of the
  /// eighth line of speed.txt, or "auto" (kBaudAuto), which finds the fastest clock an AVR takes.
  std::optional<std::string> Baud;
  bool ClearLog = false;
  bool Yes = false;
  /// With --yes, also answers Yes to questions before work that may make the target unreachable.
  bool Force = false;
  /// --erase: erase the chip before writing its flash.
  bool Erase = false;
  /// produce: --count N, stop after N chips have passed.
  std::optional<std::int64_t> Count;
  /// report: --csv FILE, also write the job's rows as CSV to FILE.
  std::optional<std::filesystem::path> Csv;
  /// --format hex|bin|elf: the format of every file of the line, whatever its name says.
  std::optional<FileFormat> Format;
  /// PAGE OPERATION [ARGS], as given.
  std::vector<std::string> Words;
};

/// The --baud value that chooses the baud list's "авто" entry.
inline constexpr const char* kBaudAuto = "auto";

/// Parses argv[1..]. Options may stand anywhere; after "--" every word is a command word.
/// Raises std::invalid_argument with a message for a malformed line (a misspelt option names
/// the closest known ones).
CliOptions ParseCliOptions(const std::vector<std::string>& args);

/// The baud value in text: decimal digits only, within what the FT232R can be set to
/// (300..3,000,000); raises std::invalid_argument otherwise.
std::int32_t ParseBaudNumber(const std::string& text);

/// The --help text.
const char* CliUsage();

/// The --version text (one line, without newline).
std::string CliVersion();

}  // namespace pw::cli
