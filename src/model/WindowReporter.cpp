#include "model/WindowReporter.h"

#include <algorithm>
#include <limits>

namespace pw {

void WindowReporter::Progress(std::int64_t position, std::int64_t max) {
  if (bar_ != nullptr) {
    constexpr std::int64_t kMost = std::numeric_limits<int>::max();
    // An emptied bar (max 0) keeps its range: the toolkit shows a range of 0..0 as "busy".
    if (max > 0) {
      bar_->Min = 0;
      bar_->Max = static_cast<int>(std::min(max, kMost));
    }
    bar_->Position = static_cast<int>(std::min(position, kMost));
    ctx_.Host.RepaintProgress(*bar_);
  }
  ctx_.Host.ProcessEvents();
}

namespace {

void RunWith(FormContext& context, ProgressBar* bar, const std::function<void(OperationRun&)>& body) {
  WindowReporter reporter(context, bar);
  OperationRun run(reporter);
  body(run);
  context.Adopt(run.Result());
}

}  // namespace

void RunOnPage(FormContext& context, ProgressBar& bar, const std::function<void(OperationRun&)>& body) {
  RunWith(context, &bar, body);
}

void RunOnPage(FormContext& context, const std::function<void(OperationRun&)>& body) {
  RunWith(context, nullptr, body);
}

}  // namespace pw
