#pragma once
/// @file
/// Scratch folders and files for tests, and running pinwright-cli.

#include <filesystem>
#include <string>
#include <vector>

namespace pw::test {

/// A fresh empty folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  /// Writes text to name inside the folder; returns its path.
  std::filesystem::path Write(const std::string& name, const std::string& text) const;

 private:
  std::filesystem::path path_;
};

std::string ReadText(const std::filesystem::path& file);
/// The project's chips.ini with the section of signature renamed: a chips.ini that does not list
/// that chip and serves every other.
std::string ChipsIniWithout(const std::string& signature);
std::vector<unsigned char> ReadBytes(const std::filesystem::path& file);

/// What a run of a program printed and returned.
struct CliResult {
  int Status = -1;
  std::string Out;
  std::string Err;
  /// Out split into lines.
  std::vector<std::string> Lines() const;
  /// Err split into lines (error reports, a failed verify's lines).
  std::vector<std::string> ErrLines() const;
};

/// Runs program with args in folder dir (its current directory), input from /dev/null.
CliResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::filesystem::path& dir);
/// Runs the built pinwright-cli with args in folder dir (its current directory).
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& dir);

/// A copy of the built pinwright-cli in dir (a hard link where it can be): it reads the
/// description files written beside it first.
std::filesystem::path CliCopyIn(const TempDir& dir);

/// The folder the binaries and their data files were built into.
std::filesystem::path BinDir();
/// The project's source folder.
std::filesystem::path SourceDir();

}  // namespace pw::test
