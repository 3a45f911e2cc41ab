#pragma once
/// @file
/// The person at the terminal: files come from the command's arguments, questions from --yes,
/// error reports go to standard error, progress to standard error when it is a terminal.

#include <chrono>
#include <optional>
#include <string>

#include "model/UiHost.h"

namespace pw::cli {

class CliHost : public UiHost {
 public:
  /// answerYes: --yes; force: --force, which risky questions need besides --yes.
  explicit CliHost(bool answerYes, bool force = false);

  /// The file the next open or save dialog answers with.
  void SetFile(std::optional<std::string> file) { file_ = std::move(file); }

  std::optional<std::string> ChooseOpenFile(const std::string& filter) override;
  std::optional<std::string> ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  bool AskRisky(const std::string& title, const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ProcessEvents() override {}
  void RepaintProgress(const ProgressBar& bar) override;
  /// Ends a progress line on the terminal, if one is showing, at how far its bar got.
  void EndProgress();
  /// A line the log just got: it ends the progress line of the step before and names the next.
  void LogLine(const std::string& line);
  /// How many questions have been answered No so far.
  int Declined() const { return declined_; }
  /// The keys that would have answered Yes to the last question answered No.
  const std::string& DeclinedKeys() const { return declinedKeys_; }

 private:
  bool Answer(const std::string& title, const std::string& text, bool yes, const std::string& keys);

  bool answerYes_;
  bool force_;
  std::string declinedKeys_;
  std::optional<std::string> file_;
  /// Whether standard error is a terminal: progress is shown only there.
  bool terminal_;
  bool progressShown_ = false;
  /// The bar of the progress line showing, and the furthest it was seen.
  const ProgressBar* bar_ = nullptr;
  int percent_ = 0;
  std::string step_;
  std::chrono::steady_clock::time_point stepStart_;
  int declined_ = 0;
};

}  // namespace pw::cli
