#include <csignal>
#include <string>
#include <vector>

#include "cli/CliRun.h"

namespace {

/// Set by Ctrl-C; the running operation looks at it between pages and stops cleanly. The only
/// thing the handler may touch.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) { interrupted = 1; }

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, OnInterrupt);
  return pw::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), &interrupted);
}
