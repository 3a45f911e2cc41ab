#include <signal.h>

#include <csignal>
#include <string>
#include <vector>

#include "cli/CliRun.h"

namespace {

/// The signal that asked the running operation to stop (0: none yet); the operation looks at it
/// between pages and stops cleanly. The only thing the handler may touch.
volatile std::sig_atomic_t interrupted = 0;

/// The first stop signal asks for a clean stop and names the status; a second one of the same
/// kind, for a person (or a system shutting down) who will not wait for the page to end, ends
/// the program at once as that signal always does (SA_RESETHAND).
extern "C" void OnStopSignal(int signal) {
  if (interrupted == 0) interrupted = signal;
}

/// Ctrl-C, a polite kill and a closed terminal all stop the operation the same clean way. A
/// signal the program was started ignoring (nohup, a background job) stays ignored.
void WatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);
  }
}

}  // namespace

int main(int argc, char** argv) {
  WatchStopSignals();
  return pw::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), &interrupted);
}
