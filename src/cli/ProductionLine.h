#pragma once
/// @file
/// The programmer a production run works with, and the two things it does with the job's page:
/// look quietly whether a chip answers in the socket, and program one chip.

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "backend/Backend.h"
#include "cli/CliPages.h"
#include "frame/Outcome.h"
#include "link/D2xxUnit.h"

namespace pw::cli {

/// What a look at the socket found: the identification's outcome (Success: a chip answers;
/// TargetProblem: none; ErrorReport: the programmer cannot serve) and the lines it would have logged.
struct SocketLook {
  Outcome Result = Outcome::Success;
  std::vector<std::string> Lines;
};

/// How one chip went.
struct ChipRun {
  bool Passed = false;
  /// What went wrong, first line only; empty when it passed.
  std::string Trouble;
};

class ProductionLine {
 public:
  /// Opens no programmer yet: options name it; page and type are the job's.
  ProductionLine(const CliOptions& options, const CliCommandLine& line, std::string requiredPart);

  /// The page's frame with no steps, its lines kept rather than printed.
  SocketLook Look();
  /// steps in one frame on the chip in the socket, their lines printed; no stop request reaches
  /// them, so a chip is never left half done.
  ChipRun Program(std::span<const CliStep> steps);
  /// Lets ms pass on the programmer: a real one sleeps, the virtual one moves its clock.
  void Wait(std::uint32_t ms) { backend_->Driver().Wait(ms); }
  /// Ends the run (the virtual programmer saves its memories).
  void Finish() { backend_->Finish(); }
  const std::string& Hint() const { return hint_; }

 private:
  void RunPage(CliHost& host, OperationRun& run, std::span<const CliStep> steps, const std::string& part);

  const CliOptions& options_;
  const CliCommandLine& line_;
  std::string requiredPart_;
  std::unique_ptr<Backend> backend_;
  D2XXUnit unit_;
  FormPaths paths_;
  std::int32_t baud_;
  std::string hint_;
};

}  // namespace pw::cli
