#include <csignal>
#include <string>
#include <vector>

#include "cli/CliRun.h"

namespace {

/// Set by Ctrl-C; the running operation looks at it between pages and stops cleanly. The only
/// thing the handler may touch.
volatile std::sig_atomic_t interrupted = 0;

/// The first Ctrl-C asks for a clean stop; a second one, for a person who will not wait for the
/// page to end, ends the program at once as Ctrl-C always does.
extern "C" void OnInterrupt(int) {
  interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, OnInterrupt);
  return pw::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), &interrupted);
}
