#include "cli/ProduceCommand.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <optional>

#include "cli/CliPages.h"
#include "cli/JobSteps.h"
#include "cli/ProductionLine.h"
#include "common/Error.h"
#include "production/ProductionJob.h"
#include "production/ProductionRecord.h"
#include "production/ProductionTexts.h"

namespace pw::cli {
namespace {

using namespace production;
using Clock = std::chrono::steady_clock;

/// How often the socket is looked at while waiting for a chip to come or go.
constexpr std::uint32_t kSocketPollMs = 200;

/// The job file, the only word after the command.
const std::string& JobWord(const std::vector<std::string>& words) {
  if (words.size() != 2) throw UsageError(texts::NeedsJob(words[0]));
  return words[1];
}

bool StopAsked(const volatile std::sig_atomic_t* interrupted) { return interrupted != nullptr && *interrupted != 0; }

std::string HostName() {
  char name[256] = {};
  return gethostname(name, sizeof name - 1) == 0 ? name : "";
}

/// One production run: the job, its steps loaded once, the record and the programmer.
struct Production {
  const CliOptions& Options;
  const ProductionJob& Job;
  const CliCommandLine& Line;
  ProductionRecord& Record;
  ProductionLine& Socket;
  const volatile std::sig_atomic_t* Interrupted;
  ChipStart Start;
  std::int64_t Passed = 0;
  std::int64_t Failed = 0;
  Clock::time_point Began = Clock::now();
};

/// The identification's lines as one, for the record.
std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += (joined.empty() ? "" : "; ") + line;
  return joined;
}

enum class WaitEnd { Ready, Stopped, Fault };

/// Looks at the socket every kSocketPollMs until a chip answers (present) or none does; says
/// once what the person is to do; a stop request ends the wait at once.
WaitEnd WaitForSocket(Production& p, bool present) {
  for (bool told = false;; told = true) {
    SocketLook look = p.Socket.Look();
    if (look.Result == Outcome::ErrorReport) {
      for (const std::string& line : look.Lines) std::cerr << line << std::endl;
      return WaitEnd::Fault;
    }
    if ((look.Result == Outcome::Success) == present) {
      if (present) p.Start.Chip = JoinLines(look.Lines);
      return WaitEnd::Ready;
    }
    if (StopAsked(p.Interrupted)) return WaitEnd::Stopped;
    if (!told) std::cout << (present ? texts::kInsertChip : texts::kRemoveChip) << std::endl;
    p.Socket.Wait(kSocketPollMs);
  }
}

/// The chip's line, then the run's tally.
void PrintChipLine(const Production& p, const ChipTicket& ticket, const ChipRun& run, double seconds) {
  const double hours = std::chrono::duration<double>(Clock::now() - p.Began).count() / 3600;
  const std::int64_t perHour = hours > 0 ? std::llround(static_cast<double>(p.Passed + p.Failed) / hours) : 0;
  const std::string label = ticket.Serial ? "№" + std::to_string(*ticket.Serial) : texts::RowLabel(ticket.Row);
  std::cout << texts::ChipLine(label, run.Passed, seconds, run.Trouble) << "; "
            << texts::Tally(p.Passed, p.Failed, perHour) << std::endl;
}

/// The job's steps with the chip's number in their images (none without one).
std::vector<CliStep> ChipSteps(const Production& p, const ChipTicket& ticket) {
  if (!p.Job.Serial || !ticket.Serial) return p.Line.Steps;
  const auto value = static_cast<std::uint64_t>(*ticket.Serial);
  return StampedSteps(p.Line.Steps, *p.Job.Serial, EncodeSerial(value, p.Job.Serial->Format));
}

/// Begins the chip's row, programs the chip with its number stamped and finishes the row.
/// Raises PinwrightError when the record cannot be written: no chip goes on without its row.
void ProduceChip(Production& p) {
  const auto plan = p.Job.Serial ? std::optional<SerialPlan>(p.Job.Serial->Plan) : std::nullopt;
  const ChipTicket ticket = p.Record.Begin(p.Start, plan);
  const auto began = Clock::now();
  ChipRun run;
  try {
    run = p.Socket.Program(ChipSteps(p, ticket));
  } catch (const PinwrightError& e) {
    // A number that does not fit the memory or its width: this chip is not programmed.
    run = {false, e.what()};
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
  p.Record.Finish(ticket, run.Passed ? ChipResult::Passed : ChipResult::Failed, seconds, run.Trouble);
  (run.Passed ? p.Passed : p.Failed) += 1;
  PrintChipLine(p, ticket, run, seconds);
}

/// The status a run ends with: a fault is an error; a stop ends a run without --count as it
/// should end, and one with --count short of what was asked.
int EndStatus(const Production& p, WaitEnd end) {
  if (end == WaitEnd::Fault) return kExitError;
  std::cout << texts::kProductionStopped << std::endl;
  return p.Options.Count ? kExitSignalBase + *p.Interrupted : kExitSuccess;
}

int ProduceChips(Production& p) {
  for (;;) {
    const WaitEnd inserted = WaitForSocket(p, true);
    if (inserted != WaitEnd::Ready) return EndStatus(p, inserted);
    ProduceChip(p);
    if (p.Options.Count && p.Passed >= *p.Options.Count) return kExitSuccess;
    if (StopAsked(p.Interrupted)) return EndStatus(p, WaitEnd::Stopped);
    const WaitEnd removed = WaitForSocket(p, false);
    if (removed != WaitEnd::Ready) return EndStatus(p, removed);
  }
}

}  // namespace

int RunProduce(const CliOptions& options, const std::vector<std::string>& words,
               const volatile std::sig_atomic_t* interrupted) {
  const ProductionJob job = ReadProductionJob(JobWord(words));
  const CliCommandLine line = JobCommandLine(job);
  // The record first: a chip is never programmed without its row.
  ProductionRecord record(job.Database);
  ProductionLine socket(options, line, job.Page == "avr" ? job.Type : "");
  Production p{options,
               job,
               line,
               record,
               socket,
               interrupted,
               {job.Name, HostName(), options.Device, job.Page, "", JobFiles(job)}};
  int status = kExitError;
  try {
    status = ProduceChips(p);
  } catch (const PinwrightError& e) {
    std::cerr << e.what() << "\n" << texts::kProductionHalted << std::endl;
  }
  socket.Finish();
  if (status == kExitError && !socket.Hint().empty()) std::cerr << socket.Hint() << std::endl;
  std::cout << texts::Tally(p.Passed, p.Failed, -1) << std::endl;
  return status;
}

int RunReport(const CliOptions& options, const std::vector<std::string>& words) {
  const ProductionJob job = ReadProductionJob(JobWord(words));
  // Opening would make an empty record: a job never run has none to report.
  if (!std::filesystem::exists(job.Database)) throw PinwrightError(texts::RecordMissing(job.Database.string()));
  const ProductionRecord record(job.Database);
  PrintJobSummary(job.Name, record.Summarize(job.Name), std::cout);
  if (options.Csv) {
    record.WriteCsv(job.Name, *options.Csv);
    std::cout << texts::CsvWritten(options.Csv->string()) << std::endl;
  }
  return kExitSuccess;
}

}  // namespace pw::cli
