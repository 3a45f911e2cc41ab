#include "cli/SelftestCommand.h"

#include "backend/Backend.h"
#include "cli/CliPage.h"
#include "cli/CliRun.h"
#include "cli/CliTexts.h"
#include "setup/ProgrammerSelfTest.h"

namespace pw::cli {

int RunSelftest(const CliOptions& options, const std::vector<std::string>& args,
                const volatile std::sig_atomic_t* interrupted) {
  if (!args.empty()) throw UsageError(texts::SelftestTakesNothing(args.front()));
  const std::int32_t baud = RunBaud(options, ProgramPaths());
  return RunOnProgrammer(options, interrupted, [baud](Backend& backend, CliHost&, OperationRun& run) {
    D2XXUnit unit(backend.Driver());
    RunProgrammerSelfTest(unit, run, baud);
  });
}

}  // namespace pw::cli
