#pragma once
/// @file
/// A person at the window, played from a script: the files dialogs answer with, the answers to
/// questions, and a record of every error box and progress repaint.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/UiHost.h"

namespace pw::test {

class ScriptedHost : public UiHost {
 public:
  /// The next open or save dialog answers with file (nothing: cancel).
  std::deque<std::optional<std::string>> Files;
  /// The next yes/no questions' answers; an empty script answers No, the default.
  std::deque<bool> Answers;

  std::vector<std::string> Errors;
  std::vector<std::string> Questions;
  int EventsProcessed = 0;
  int Repaints = 0;

  std::optional<std::string> ChooseOpenFile(const std::string& filter) override;
  std::optional<std::string> ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void ShowError(const std::string& text) override { Errors.push_back(text); }
  /// Runs whenever the operation lets the window handle its events: where a person's click
  /// mid-operation (Stop) reaches the model.
  std::function<void()> OnEvents;
  void ProcessEvents() override {
    ++EventsProcessed;
    if (OnEvents) OnEvents();
  }
  /// The position of every repaint, in order.
  std::vector<int> Positions;
  void RepaintProgress(const ProgressBar& bar) override {
    ++Repaints;
    Positions.push_back(bar.Position);
  }

 private:
  std::optional<std::string> NextFile();
};

}  // namespace pw::test
