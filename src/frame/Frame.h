#pragma once
/// @file
/// The operation frame: the one order in which every chip operation of every family runs.
///
///  1. every step's input checks, with no programmer open (the file holds data, the options agree);
///  2. the programmer is opened in the target's mode and the target is identified, once;
///  3. every step's checks against the identified target (the file fits the chip and the type);
///  4. every step's questions;
///  5. each step's work, which verifies what it wrote, in the order given, stopping at the first
///     that does not succeed or when a stop is asked for between steps;
///  6. the programmer is closed, also when an error ended the run.
///
/// So nothing changes on a chip before every check that can fail without touching it has
/// passed, and a run of several steps (the command line's `avr write-flash F write-eeprom E`)
/// opens the programmer and identifies the chip once.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "d2xx/Wiring.h"
#include "frame/OperationRun.h"
#include "link/D2xxUnit.h"

namespace pw {

/// A refusal line for the log, or nothing when the check passed.
using Refusal = std::optional<std::string>;

/// One operation as the frame runs it; a phase left empty is passed over (so a step names only
/// the phases it has: `{.CheckInputs = ..., .Act = ...}`).
struct OperationStep {
  /// Checks that need no programmer.
  std::function<Refusal()> CheckInputs = nullptr;
  /// Checks against the target the identification found.
  std::function<Refusal()> CheckTarget = nullptr;
  /// Asks what the step's risky work needs; false when the person answered No.
  std::function<bool(OperationRun&)> Confirm = nullptr;
  /// The work, and the verify of what it wrote; marks the run when the target failed or it stopped.
  std::function<void(OperationRun&)> Act = nullptr;
};

/// How the frame reaches a family's target.
struct FrameTarget {
  ProtocolMode Mode;
  std::int32_t Baud = 0;
  /// Identifies the target on the open programmer; false (its lines logged, the run marked)
  /// when there is none the steps can work with. Empty: the family cannot tell.
  std::function<bool(OperationRun&)> Identify = nullptr;
  /// Shown instead of the error when the programmer cannot be opened, the error itself (the call
  /// and its status) then logged; empty: the error itself.
  std::string OpenFailure = {};
};

/// Runs steps against target in the frame's order (see the file comment). An error raised
/// anywhere ends the run as an error report, shown through the run's reporter, with the
/// programmer abandoned (pins released, closed). A question answered No ends the run with
/// nothing changed and the outcome as it was. Returns run.Result().
Outcome RunFrame(D2XXUnit& unit, OperationRun& run, const FrameTarget& target, std::span<const OperationStep> steps);

}  // namespace pw
