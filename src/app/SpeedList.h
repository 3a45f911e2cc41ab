#pragma once
/// @file
/// speed.txt: the baud values offered in BoudRate, one a line; the eighth is the one every
/// operation uses.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/FormContext.h"

namespace pw {

inline constexpr const char* kSpeedFileName = "speed.txt";
/// The entry of the list that fixes the baud value.
inline constexpr int kBaudEntry = 7;
/// The entry the program adds after the file's lines: the pages clock each chip as fast as it and
/// USB allow (link/AutoBaud.h).
inline constexpr const char* kAutoBaudEntry = "авто";

/// Where speed.txt is read from: the current directory, else beside the program, else the
/// installed data folder (the current directory's path when none has it).
std::filesystem::path FindSpeedFile(const FormPaths& paths);

/// speed.txt holds a few short lines; anything larger is no speed list.
inline constexpr std::uintmax_t kSpeedFileLimit = 64 * 1024;

/// The lines of speed.txt; raises PinwrightError when it is missing, or is not a regular file of
/// at most kSpeedFileLimit bytes (the message names the file), or cannot be read.
std::vector<std::string> ReadSpeedList(const FormPaths& paths);

/// The baud values the FT232R can be set to.
inline constexpr std::int32_t kLowestBaud = 300;
inline constexpr std::int32_t kHighestBaud = 3'000'000;

/// Raises PinwrightError naming speed.txt when baud is outside kLowestBaud..kHighestBaud.
void CheckBaud(std::int32_t baud);

/// The baud value in an entry's text; raises PinwrightError when it is not a 32-bit integer.
std::int32_t ParseBaud(const std::string& text);

/// The baud value every operation uses: the kBaudEntry line of speed.txt's lines, parsed and
/// checked; raises PinwrightError when the list is shorter or the value is no baud value.
std::int32_t SpeedListBaud(const std::vector<std::string>& lines);

}  // namespace pw
