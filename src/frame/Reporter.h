#pragma once
/// @file
/// Where a running operation's log lines, progress and questions go, and where it learns that
/// the person wants it to stop. The window and the command line each implement it; the
/// operations below the pages see nothing else of either.

#include <cstdint>
#include <string>

#include "frame/Action.h"

namespace pw {

class Reporter {
 public:
  virtual ~Reporter() = default;
  /// Appends one line to the operation log.
  virtual void Log(const std::string& line) = 0;
  /// Shows how far the running step is: position of max, 0 ≤ position ≤ max (OperationRun
  /// keeps them so). Also the point where the window handles its pending events.
  virtual void Progress(std::int64_t position, std::int64_t max) = 0;
  /// A yes/no question whose default answer is No.
  virtual bool Ask(const std::string& title, const std::string& text) = 0;
  /// A question before work that may leave the target unreachable; a person answers it as any
  /// other, a script must say it means it.
  virtual bool AskRisky(const std::string& title, const std::string& text) { return Ask(title, text); }
  /// An error report: the window's message box, the terminal's standard error.
  virtual void Error(const std::string& text) = 0;
  /// Whether the person has asked the running operation to stop.
  virtual bool StopRequested() = 0;
  /// A log line that says how the target failed (a verify's differences): the window's log, the
  /// terminal's standard error, where a script looks for what went wrong.
  virtual void LogFault(const std::string& line) { Log(line); }
  /// How a message names action to this person: the window's button caption (the command line
  /// names its own words instead).
  virtual std::string Name(const Action& action) const { return action.Caption; }
};

}  // namespace pw
