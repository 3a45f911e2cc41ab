#include "frame/Frame.h"

#include <exception>
#include <optional>

#include "frame/ReadClose.h"
#include "frame/Texts.h"
#include "link/ProgrammerSession.h"

namespace pw {
namespace {

/// Runs each check of kind; the first refusal is logged and ends the run.
bool Checked(OperationRun& run, std::span<const OperationStep> steps, std::function<Refusal()> OperationStep::*kind) {
  for (const OperationStep& step : steps) {
    const auto& check = step.*kind;
    if (!check) continue;
    if (const Refusal refusal = check()) {
      run.RefuseInput(*refusal);
      return false;
    }
  }
  return true;
}

bool Confirmed(OperationRun& run, std::span<const OperationStep> steps) {
  for (const OperationStep& step : steps) {
    if (step.Confirm && !step.Confirm(run)) return false;
  }
  return true;
}

void Act(OperationRun& run, std::span<const OperationStep> steps) {
  for (std::size_t k = 0; k < steps.size() && run.Ok(); ++k) {
    if (k > 0 && run.StopRequested(texts::kStoppedBetweenSteps)) return;
    if (steps[k].Act) steps[k].Act(run);
  }
}

/// Steps 2 to 6 of the frame, on a programmer opened by session.
void OnOpenProgrammer(ProgrammerSession& session, OperationRun& run, const FrameTarget& target,
                      std::span<const OperationStep> steps) {
  const bool identified = !target.Identify || target.Identify(run);
  if (!identified) run.MarkTargetFailed();
  if (identified && run.Ok() && Checked(run, steps, &OperationStep::CheckTarget) && Confirmed(run, steps)) {
    Act(run, steps);
  }
  run.EndProgress();
  CloseAfterRead(session, run.Out(), run.SavedFile(), run.CompletedLine());
}

}  // namespace

Outcome RunFrame(D2XXUnit& unit, OperationRun& run, const FrameTarget& target, std::span<const OperationStep> steps) {
  try {
    if (!Checked(run, steps, &OperationStep::CheckInputs)) return run.Result();
    std::optional<ProgrammerSession> session;
    try {
      session.emplace(unit, target.Mode, target.Baud);
    } catch (const std::exception& e) {
      if (target.OpenFailure.empty()) throw;
      // The family's words stand in for the error; the call that failed is logged with its status.
      run.Log(e.what());
      run.Error(target.OpenFailure);
      return run.Result();
    }
    OnOpenProgrammer(*session, run, target, steps);
  } catch (const std::exception& e) {
    run.Error(e.what());
  }
  return run.Result();
}

}  // namespace pw
