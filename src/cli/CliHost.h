#pragma once
/// @file
/// The person at the terminal: log lines go to standard output, questions are answered from
/// --yes and --force, error reports go to standard error, and progress to standard error when
/// it is a terminal; Ctrl-C (or SIGTERM, SIGHUP) is the stop request.

#include <chrono>
#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/Reporter.h"

namespace pw::cli {

class CliHost : public Reporter {
 public:
  /// answerYes: --yes; force: --force, which risky questions need besides --yes.
  explicit CliHost(bool answerYes, bool force = false);

  /// Log lines go to standard error from now on (standard output carries a file).
  void LogToStandardError() { logToError_ = true; }

  /// The flag the program's stop-signal handler sets (the signal's number): a stop request.
  void WatchStop(const volatile std::sig_atomic_t* interrupted) { interrupted_ = interrupted; }

  void Log(const std::string& line) override;
  void Progress(std::int64_t position, std::int64_t max) override;
  bool Ask(const std::string& title, const std::string& text) override;
  bool AskRisky(const std::string& title, const std::string& text) override;
  void Error(const std::string& text) override;
  bool StopRequested() override { return interrupted_ != nullptr && *interrupted_ != 0; }

  /// Ends a progress line on the terminal, if one is showing, at how far its bar got.
  void EndProgress();
  /// Keeps log lines and error reports in lines instead of printing them (a production run's
  /// look at the socket); null prints them again.
  void KeepLines(std::vector<std::string>* lines) { kept_ = lines; }
  /// The first error report so far, else the last log line: what went wrong with a chip.
  const std::string& Trouble() const { return firstError_.empty() ? lastLine_ : firstError_; }
  /// How many questions have been answered No so far.
  int Declined() const { return declined_; }
  /// The keys that would have answered Yes to the last question answered No.
  const std::string& DeclinedKeys() const { return declinedKeys_; }

 private:
  bool Answer(const std::string& title, const std::string& text, bool yes, const std::string& keys);
  void Draw();

  bool answerYes_;
  bool force_;
  const volatile std::sig_atomic_t* interrupted_ = nullptr;
  std::string declinedKeys_;
  std::vector<std::string>* kept_ = nullptr;
  std::string firstError_;
  std::string lastLine_;
  int declined_ = 0;
  /// Whether standard error is a terminal: progress is shown only there.
  bool terminal_;
  bool progressShown_ = false;
  bool logToError_ = false;
  /// The furthest the step's bar was seen, and the step (its log line) and its start.
  int percent_ = 0;
  std::string step_;
  std::chrono::steady_clock::time_point stepStart_;
};

}  // namespace pw::cli
