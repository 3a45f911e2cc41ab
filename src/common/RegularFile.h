#pragma once
/// @file
/// Reading a whole input file without ever blocking on a pipe or a device.

#include <cstdint>
#include <filesystem>
#include <string>

namespace pw {

/// Why a pipe, a device, a folder or a socket is not read or written as a file.
inline constexpr const char* kNotRegularFile = "это не обычный файл";

/// The whole content of file. Raises PinwrightError naming the file when it is no regular file
/// (a pipe, a device, a folder), when it holds more than limit bytes, or when it cannot be read.
/// The file is opened without waiting for a writer, and its kind is checked on the open file.
std::string ReadRegularFile(const std::filesystem::path& file, std::uintmax_t limit);

/// Everything the open descriptor fd gives until its end, at most limit bytes; errors name file
/// as ReadRegularFile's do.
std::string ReadDescriptor(int fd, const std::filesystem::path& file, std::uintmax_t limit);

}  // namespace pw
