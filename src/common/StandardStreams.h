#pragma once
/// @file
/// "-" as a file name: standard input for a file that is read, standard output for one that is
/// written, as command-line programs take it. A file really named "-" is given as "./-".

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pw {

/// The name that stands for standard input or standard output.
inline constexpr const char* kStandardStream = "-";

/// Whether file is "-" (and so no file at all).
inline bool IsStandardStream(const std::filesystem::path& file) { return file == kStandardStream; }

/// Standard input to its end, at most limit bytes; raises PinwrightError when it cannot be read
/// or holds more.
std::string ReadStandardInput(std::uintmax_t limit);

/// Writes data as one piece: to standard output for "-" (all of it, or a PinwrightError and as
/// little as the system let through), else to the file with WriteFileAtomically.
void WriteOutputFile(const std::filesystem::path& file, std::string_view data);

}  // namespace pw
