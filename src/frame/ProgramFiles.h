#pragma once
/// @file
/// Where the program finds its files: the description files (chips.ini, PIC.ini, I2C_E.ini,
/// SpiFlash.ini) and speed.txt.

#include <filesystem>
#include <string>

namespace pw {

/// Where the program looks for its files.
struct FormPaths {
  /// The directory of the program file: description files first, speed.txt second.
  std::filesystem::path ProgramDir;
  /// The installed data folder: description files when the program's directory has none.
  std::filesystem::path DataDir;
  /// The current directory: speed.txt first.
  std::filesystem::path WorkingDir;
};

/// The description file name beside the program, else in the installed data folder; the first
/// when neither has it.
std::filesystem::path DescriptionFile(const FormPaths& paths, const std::string& name);

}  // namespace pw
