#include "cli/ProductionLine.h"

#include <exception>

#include "cli/CliHost.h"
#include "cli/CliRun.h"
#include "production/ProductionTexts.h"

namespace pw::cli {
namespace {

/// The first line of text.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

ProductionLine::ProductionLine(const CliOptions& options, const CliCommandLine& line, std::string requiredPart)
    : options_(options),
      line_(line),
      requiredPart_(std::move(requiredPart)),
      backend_(MakeBackend(options)),
      unit_(backend_->Driver()),
      paths_(ProgramPaths()),
      baud_(RunBaud(options, paths_)) {}

void ProductionLine::RunPage(CliHost& host, OperationRun& run, std::span<const CliStep> steps,
                             const std::string& part) {
  const bool autoBaud = options_.Baud && *options_.Baud == kBaudAuto;
  // No stop flag: the produce loop holds a stop request until the chip is done.
  CliContext context{options_, backend_->Driver(), unit_, host, run, paths_, baud_, autoBaud, nullptr, part};
  try {
    line_.Page->Run(context, line_.Type, steps);
  } catch (const std::exception& e) {
    run.Error(e.what());
  }
  host.EndProgress();
  if (!run.Ok() && hint_.empty()) hint_ = backend_->Hint();
}

SocketLook ProductionLine::Look() {
  SocketLook look;
  CliHost host(false);
  host.KeepLines(&look.Lines);
  OperationRun run(host);
  RunPage(host, run, {}, "");
  look.Result = run.Result();
  return look;
}

ChipRun ProductionLine::Program(std::span<const CliStep> steps) {
  // The job file stands for the person's Yes; questions before risky work still need --force.
  CliHost host(true, options_.Force);
  OperationRun run(host);
  RunPage(host, run, steps, requiredPart_);
  if (run.Ok() && host.Declined() > 0) run.Error(texts::kRiskyNeedsForce);
  if (run.Ok()) return {true, {}};
  return {false, FirstLine(host.Trouble())};
}

}  // namespace pw::cli
