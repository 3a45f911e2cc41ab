#pragma once
/// @file
/// What a person answers or sees at once while an operation runs. The Qt window answers with
/// dialogs, the CLI from its arguments, the tests from a script.

#include <optional>
#include <string>

#include "model/Controls.h"

namespace pw {

class UiHost {
 public:
  virtual ~UiHost() = default;
  /// The file to open, or nothing when the person cancels.
  virtual std::optional<std::string> ChooseOpenFile(const std::string& filter) = 0;
  /// The file to save to (defaultExtension added when the name has none), or nothing.
  virtual std::optional<std::string> ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) = 0;
  /// A yes/no question whose default answer is No.
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  /// A yes/no question before work that may leave the target unreachable; the default answer is
  /// No. A person answers it as any other question; a script must say it means it.
  virtual bool AskRisky(const std::string& title, const std::string& text) { return AskYesNo(title, text); }
  /// A message box with the text and one OK button.
  virtual void ShowError(const std::string& text) = 0;
  /// Lets the window handle what is pending (redraw the log, keep responding) mid-operation.
  virtual void ProcessEvents() = 0;
  /// Redraws one progress bar at once.
  virtual void RepaintProgress(const ProgressBar& bar) = 0;
};

}  // namespace pw
