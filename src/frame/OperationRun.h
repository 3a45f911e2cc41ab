#pragma once
/// @file
/// One run of the operation frame as its steps see it: the reporter, the one progress rule, the
/// one refusal helper, the one stop check, and how the run has ended so far.

#include <cstdint>
#include <optional>
#include <string>

#include "frame/Outcome.h"
#include "frame/Reporter.h"

namespace pw {

class OperationRun {
 public:
  explicit OperationRun(Reporter& reporter) : reporter_(reporter) {}
  OperationRun(const OperationRun&) = delete;
  OperationRun& operator=(const OperationRun&) = delete;

  Reporter& Out() { return reporter_; }
  void Log(const std::string& line) { reporter_.Log(line); }
  /// Logs a line that says how the target failed (Reporter::LogFault).
  void LogFault(const std::string& line) { reporter_.LogFault(line); }
  bool Ask(const std::string& title, const std::string& text) { return reporter_.Ask(title, text); }
  bool AskRisky(const std::string& title, const std::string& text) { return reporter_.AskRisky(title, text); }

  /// Logs line and ends the run as refused for the person's input (a file that does not fit,
  /// nothing to write): an error report, not a fault of the target.
  void RefuseInput(const std::string& line);
  /// Logs line and marks the target as failed (no answer, a verify mismatch).
  void TargetFailed(const std::string& line);
  /// Marks the target as failed; the caller has logged why.
  void MarkTargetFailed();
  /// Shows text as an error report and ends the run with it.
  void Error(const std::string& text);

  /// The stop check, made between pages or groups: when a stop was asked for, logs that the
  /// operation stopped with undone (what it left undone), marks the run stopped, returns true.
  bool StopRequested(const std::string& undone);
  bool Stopping() const { return outcome_ == Outcome::Stopped; }

  /// The progress rule: a step's bar runs from 0 to max (a negative max counts as 0); every
  /// position is held within it and shown at once.
  void StartProgress(std::int64_t max);
  void Progress(std::int64_t position);
  /// Back to an empty bar, as every operation leaves it.
  void EndProgress() { StartProgress(0); }

  /// A read saved file completely: should closing the programmer fail afterwards, the log says
  /// the file is good.
  void Saved(const std::string& file) { saved_ = file; }
  const std::optional<std::string>& SavedFile() const { return saved_; }
  /// The run has done for good what line says (settings programmed): should closing the
  /// programmer fail afterwards, line is logged before the close's error.
  void Completed(const std::string& line) { completed_ = line; }
  const std::optional<std::string>& CompletedLine() const { return completed_; }

  /// Keeps outcome, when it is not a success, as how the run ended.
  void Adopt(Outcome outcome) {
    if (outcome != Outcome::Success) outcome_ = outcome;
  }
  Outcome Result() const { return outcome_; }
  /// Nothing has ended the run yet.
  bool Ok() const { return outcome_ == Outcome::Success; }

 private:
  Reporter& reporter_;
  Outcome outcome_ = Outcome::Success;
  std::int64_t progressMax_ = 0;
  std::optional<std::string> saved_;
  std::optional<std::string> completed_;
};

}  // namespace pw
