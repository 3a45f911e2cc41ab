#pragma once
/// @file
/// Production runs from the command line: `produce JOB` programs chip after chip as the job
/// file says, stamping each one's serial number and keeping its row in the job's record;
/// `report JOB` prints what the record holds of the job.

#include <csignal>
#include <string>
#include <vector>

#include "cli/CliOptions.h"

namespace pw::cli {

inline constexpr const char* kProduceCommand = "produce";
inline constexpr const char* kReportCommand = "report";

/// words: "produce" and the job file. Runs until --count chips have passed or a stop signal
/// arrives between two chips (a chip is never stopped in the middle). Returns the exit status:
/// 0 after --count chips, or after a stop when no --count was given; 128 + the signal when a
/// stop came before --count chips passed; 1 when the job, its files, the record or the
/// programmer cannot serve.
int RunProduce(const CliOptions& options, const std::vector<std::string>& words,
               const volatile std::sig_atomic_t* interrupted);

/// words: "report" and the job file. Prints the job's summary; with --csv FILE, writes its rows
/// there. 0, or 1 when the job or its record cannot be read or the CSV written.
int RunReport(const CliOptions& options, const std::vector<std::string>& words);

}  // namespace pw::cli
