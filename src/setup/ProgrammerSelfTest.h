#pragma once
/// @file
/// The programmer's self-test, window-free: reads the FT232R's EEPROM (checksum, identity) and
/// checks its data lines (setup/LineCheck.h), with or without a chip on the headers, changing
/// nothing. One row a finding goes to the log; a fault ends the run as a target failure.

#include <cstdint>

#include "frame/Frame.h"
#include "link/D2xxUnit.h"

namespace pw {

/// Runs the self-test on the programmer unit reaches, at baud; a programmer that cannot be
/// opened is reported as the pages report it. Returns the run's outcome: success when all is
/// well (a description the program does not look for is only a warning), a target failure when
/// the EEPROM's checksum does not match or a line is faulty.
Outcome RunProgrammerSelfTest(D2XXUnit& unit, OperationRun& run, std::int32_t baud);

}  // namespace pw
