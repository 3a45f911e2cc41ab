#pragma once
/// @file
/// A person's request to stop the running operation, looked at between pages and groups.

#include <atomic>
#include <csignal>

namespace pw {

/// Set by the window's stop button (or by a signal flag the command line watches) while an
/// operation runs; the operation looks at it only between pages or groups, so a page is never
/// left half sent. Both flags are lock-free atomics or sig_atomic_t: safe to set from a signal
/// handler or from the window's event loop while the operation runs.
class StopRequest {
 public:
  void Request() { requested_.store(true); }
  /// Forgets a request made before the next operation begins; a watched signal flag stays.
  void Clear() { requested_.store(false); }
  /// Also counts flag (set by a signal handler, owned by the program's main) as a request.
  void Watch(const volatile std::sig_atomic_t* flag) { watched_ = flag; }
  bool Requested() const { return requested_.load() || (watched_ != nullptr && *watched_ != 0); }

 private:
  std::atomic<bool> requested_{false};
  const volatile std::sig_atomic_t* watched_ = nullptr;
};

}  // namespace pw
