#pragma once
/// @file
/// `selftest`: the programmer's self-test (setup/ProgrammerSelfTest.h) on the programmer the
/// options choose; with or without a chip on the headers, nothing on it is changed.

#include <csignal>
#include <string>
#include <vector>

#include "cli/CliOptions.h"

namespace pw::cli {

/// The command word of the self-test.
inline constexpr const char* kSelftestCommand = "selftest";

/// Runs `selftest` with the words after it (none are taken: UsageError); returns 0 when all is
/// well, 2 when a fault was found, 1 when the programmer cannot be opened.
int RunSelftest(const CliOptions& options, const std::vector<std::string>& args,
                const volatile std::sig_atomic_t* interrupted);

}  // namespace pw::cli
