#include "frame/OperationRun.h"

#include <algorithm>

#include "frame/Texts.h"

namespace pw {

void OperationRun::RefuseInput(const std::string& line) {
  Log(line);
  outcome_ = Outcome::ErrorReport;
}

void OperationRun::TargetFailed(const std::string& line) {
  Log(line);
  MarkTargetFailed();
}

void OperationRun::MarkTargetFailed() {
  // A stop or an error report says more about how the run ended than a target failing after it.
  if (outcome_ == Outcome::Success) outcome_ = Outcome::TargetProblem;
}

void OperationRun::Error(const std::string& text) {
  outcome_ = Outcome::ErrorReport;
  reporter_.Error(text);
}

bool OperationRun::StopRequested(const std::string& undone) {
  if (!reporter_.StopRequested()) return false;
  Log(texts::Stopped(undone));
  outcome_ = Outcome::Stopped;
  return true;
}

void OperationRun::StartProgress(std::int64_t max) {
  progressMax_ = std::max<std::int64_t>(max, 0);
  reporter_.Progress(0, progressMax_);
}

void OperationRun::Progress(std::int64_t position) {
  reporter_.Progress(std::clamp<std::int64_t>(position, 0, progressMax_), progressMax_);
}

}  // namespace pw
