#pragma once
/// @file
/// How an operation ended, besides its log lines.

namespace pw {

enum class Outcome {
  Success,
  /// An error report (a message box) ended it, or the person's input was refused.
  ErrorReport,
  /// The target failed: a verify mismatch or a chip that did not answer.
  TargetProblem,
  /// The person asked to stop it (the window's stop button, Ctrl-C) and it stopped between pages.
  Stopped,
};

}  // namespace pw
