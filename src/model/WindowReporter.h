#pragma once
/// @file
/// The window as an operation's reporter: log lines go to the log memo, progress to one page's
/// bar (repainted at once, and the window then handles its pending events, so that Стоп reaches
/// the operation), questions and error boxes to the person, the stop request from Стоп.

#include <functional>

#include "frame/OperationRun.h"
#include "frame/Reporter.h"
#include "model/Controls.h"
#include "model/FormContext.h"

namespace pw {

class WindowReporter : public Reporter {
 public:
  /// bar: the page's progress bar; none for an operation without one.
  explicit WindowReporter(FormContext& context, ProgressBar* bar = nullptr) : ctx_(context), bar_(bar) {}

  void Log(const std::string& line) override { ctx_.Log.Append(line); }
  void Progress(std::int64_t position, std::int64_t max) override;
  bool Ask(const std::string& title, const std::string& text) override { return ctx_.Host.AskYesNo(title, text); }
  bool AskRisky(const std::string& title, const std::string& text) override { return ctx_.Host.AskRisky(title, text); }
  void Error(const std::string& text) override { ctx_.Host.ShowError(text); }
  bool StopRequested() override { return ctx_.Stop.Requested(); }

 private:
  FormContext& ctx_;
  ProgressBar* bar_;
};

/// Runs body as one operation of a page whose progress bar is bar, and keeps how it ended as
/// the outcome of the window event that started it.
void RunOnPage(FormContext& context, ProgressBar& bar, const std::function<void(OperationRun&)>& body);
/// The same for a page without a progress bar.
void RunOnPage(FormContext& context, const std::function<void(OperationRun&)>& body);

}  // namespace pw
