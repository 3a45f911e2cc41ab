#pragma once
/// @file
/// The person at the terminal: log lines go to standard output, questions are answered from
/// --yes and --force, error reports go to standard error, and progress to standard error when
/// it is a terminal; Ctrl-C is the stop request.

#include <chrono>
#include <csignal>
#include <cstdint>
#include <optional>
#include <string>

#include "frame/Reporter.h"
#include "model/UiHost.h"

namespace pw::cli {

class CliHost : public UiHost, public Reporter {
 public:
  /// answerYes: --yes; force: --force, which risky questions need besides --yes.
  explicit CliHost(bool answerYes, bool force = false);

  /// The flag the program's SIGINT handler sets: a stop request.
  void WatchStop(const volatile std::sig_atomic_t* interrupted) { interrupted_ = interrupted; }

  // Reporter
  void Log(const std::string& line) override;
  void Progress(std::int64_t position, std::int64_t max) override;
  bool Ask(const std::string& title, const std::string& text) override;
  bool AskRisky(const std::string& title, const std::string& text) override;
  void Error(const std::string& text) override { ShowError(text); }
  bool StopRequested() override { return interrupted_ != nullptr && *interrupted_ != 0; }

  // UiHost, for the pages that still run through the window model
  /// The file the next open or save dialog answers with.
  void SetFile(std::optional<std::string> file) { file_ = std::move(file); }
  std::optional<std::string> ChooseOpenFile(const std::string& filter) override;
  std::optional<std::string> ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) override;
  bool AskYesNo(const std::string& title, const std::string& text) override { return Ask(title, text); }
  void ShowError(const std::string& text) override;
  void ProcessEvents() override {}
  void RepaintProgress(const ProgressBar& bar) override { Progress(bar.Position - bar.Min, bar.Max - bar.Min); }

  /// Ends a progress line on the terminal, if one is showing, at how far its bar got.
  void EndProgress();
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
  int declined_ = 0;
  std::optional<std::string> file_;
  /// Whether standard error is a terminal: progress is shown only there.
  bool terminal_;
  bool progressShown_ = false;
  /// The furthest the step's bar was seen, and the step (its log line) and its start.
  int percent_ = 0;
  std::string step_;
  std::chrono::steady_clock::time_point stepStart_;
};

}  // namespace pw::cli
