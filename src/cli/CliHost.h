#pragma once
/// @file
/// The person at the terminal: log lines go to standard output, questions are answered from
/// --yes and --force, error reports and the lines of a failed verify go to standard error, and
/// progress to standard error when it is a terminal; Ctrl-C (or SIGTERM, SIGHUP) is the stop
/// request. Messages name the command line's words for an action, not the window's buttons.

#include <chrono>
#include <csignal>
#include <cstdint>
#include <iostream>
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
  void LogFault(const std::string& line) override;
  std::string Name(const Action& action) const override { return action.Command; }

  /// --quiet: log lines are not printed; ShowOutcome prints the last one.
  void SetQuiet(bool quiet) { quiet_ = quiet; }
  /// With --quiet, prints the last log line: how the run ended.
  void ShowOutcome();
  /// A line of --verbose's detail (an exchange's size): printed, but neither a step nor trouble.
  void Detail(const std::string& line);

  /// Ends a progress line on the terminal, if one is showing, at how far its bar got.
  void EndProgress();
  /// Keeps log lines and error reports in lines instead of printing them (a production run's
  /// look at the socket); null prints them again.
  void KeepLines(std::vector<std::string>* lines) { kept_ = lines; }
  /// The first error report so far, else the first fault line, else the last log line: what went
  /// wrong with a chip.
  const std::string& Trouble() const {
    return !firstError_.empty() ? firstError_ : !firstFault_.empty() ? firstFault_ : lastLine_;
  }
  /// How many questions have been answered No so far.
  int Declined() const { return declined_; }
  /// The keys that would have answered Yes to the last question answered No.
  const std::string& DeclinedKeys() const { return declinedKeys_; }

 private:
  bool Answer(const std::string& title, const std::string& text, bool yes, const std::string& keys);
  /// Keeps line when lines are kept (and says so); else ends a progress line shown.
  bool Kept(const std::string& line);
  void Draw();

  bool answerYes_;
  bool force_;
  bool quiet_ = false;
  const volatile std::sig_atomic_t* interrupted_ = nullptr;
  std::string declinedKeys_;
  std::vector<std::string>* kept_ = nullptr;
  std::string firstError_;
  std::string firstFault_;
  std::string lastLine_;
  int declined_ = 0;
  /// Whether standard error is a terminal: progress is shown only there.
  bool terminal_;
  bool progressShown_ = false;
  bool logToError_ = false;
  /// Where log lines go: standard error while standard output carries a file's data.
  std::ostream& Out() const { return logToError_ ? std::cerr : std::cout; }
  /// The furthest the step's bar was seen, and the step (its log line) and its start.
  int percent_ = 0;
  std::string step_;
  std::chrono::steady_clock::time_point stepStart_;
};

}  // namespace pw::cli
