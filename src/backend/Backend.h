#pragma once
/// @file
/// The programmer a face runs on: the virtual programmer of a bench, or the real one.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "d2xx/D2xx.h"
#include "model/FormContext.h"
#include "sim/Bench.h"

namespace pw {

class Backend {
 public:
  /// The virtual programmer of bench file (the built-in bench without one), tracing into trace
  /// when given. Raises PinwrightError for a bad bench or trace file.
  static std::unique_ptr<Backend> Simulated(const std::optional<std::filesystem::path>& bench,
                                            const std::optional<std::filesystem::path>& trace);
  /// The real programmer over libftdi1; with serial, only the programmer with that serial number
  /// is seen. PINWRIGHT_FTDI_LOCKSTEP=1 in the environment selects the lock-step exchange.
  static std::unique_ptr<Backend> Hardware(const std::string& serial);
  /// A programmer that is never there: every listing finds no device.
  static std::unique_ptr<Backend> Absent();

  D2xx& Driver() { return *driver_; }
  /// The bench behind a virtual programmer, or null.
  sim::Bench* SimBench() { return bench_.get(); }
  /// What a person can do about a programmer that could not be found or opened; empty otherwise.
  std::string Hint() const;
  /// Ends the run: a virtual programmer writes its memory files back. Raises PinwrightError.
  void Finish();

 private:
  std::unique_ptr<sim::Bench> bench_;
  std::unique_ptr<D2xx> owned_;
  D2xx* driver_ = nullptr;
  std::function<std::string()> hint_;
};

/// Where the running program finds its files: argv0's directory (or the executable's own),
/// the installed data folder and the current directory.
FormPaths ProgramPaths();

}  // namespace pw
