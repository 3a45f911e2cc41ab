#pragma once
/// @file
/// Fuse settings after which this programmer can no longer reach the chip: RSTDISBL or DWEN
/// programmed (RESET stops being the serial interface's), and a clock selection the board may
/// not feed or that is too slow for the programmer's SCK.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "avr/AvrChipDescription.h"
#include "avr/AvrUtils.h"

namespace pw {

/// What writing the fuses written over current would do that can lock the programmer out, one
/// line per setting, naming its bits. names: the chip's fuse-bit names (NONE for bits it lacks);
/// internalClocks: its InternalClockKHz; baud: the programmer's baud, whose SCK is 8 × baud.
/// Empty when the write is ordinary.
std::vector<std::string> FuseWriteRisks(const std::array<std::string, kFuseBitCount>& names,
                                        const AvrFuseBytes& written, const AvrFuseBytes& current,
                                        const std::string& internalClocks, std::int32_t baud);

}  // namespace pw
