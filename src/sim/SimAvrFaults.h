#pragma once
/// @file
/// Faults of the simulated AVR that a bench's [AVR] section can ask for:
///   StuckFlash=ADDR:BIT:LEVEL, ...  a flash cell that always reads LEVEL (0 or 1); ADDR is the
///                                   byte address in hex (two bytes per word, low byte first),
///                                   BIT 0..7
///   SilentAfter=N                   the chip stops answering after N SPI bytes
///   DamagedSignature=yes            every signature byte read answers its own address (00 01 02)

#include <string>

#include "ini/IniFile.h"
#include "sim/SimAvr.h"

namespace pw::sim {

/// Applies the section's fault settings to chip. Raises PinwrightError for a malformed one.
void ApplySimAvrFaults(const IniFile& bench, const std::string& section, SimAvr& chip);

}  // namespace pw::sim
