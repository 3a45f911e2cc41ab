#pragma once
/// @file
/// A program run in the background whose standard output is read as it comes: a test can act
/// (send a signal) the moment a line has been printed, not after a guessed sleep.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TestDirs.h"

namespace pw::test {

class RunningProgram {
 public:
  /// Starts program with args in folder dir, input from /dev/null.
  RunningProgram(const std::string& program, const std::vector<std::string>& args, const std::filesystem::path& dir);
  /// Kills the program if it still runs.
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  /// Reads output until a line starting with prefix has come; false when the program ended (or
  /// a minute passed) first.
  bool WaitForLine(const std::string& prefix);
  void Signal(int signal) const;
  /// Waits for the program to end: all it printed, and its exit status (-1 when a signal ended it).
  CliResult Finish();

 private:
  /// Reads what is there within timeoutMs; false at the end of the output.
  bool ReadMore(int timeoutMs);

  TempDir capture_;
  pid_t pid_ = -1;
  int out_ = -1;
  std::string text_;
};

}  // namespace pw::test
