#pragma once
/// @file
/// The SFDP area (JEDEC JESD216, Read SFDP 0x5A) a simulated part answers with, built from its
/// datasheet geometry: the "SFDP" header, one parameter header and a 16-DWORD Basic Flash
/// Parameter Table (revision 1.6) with its erases, page size and typical times.

#include <cstdint>
#include <vector>

#include "sim/SimSpiFlashParts.h"

namespace pw::sim {

/// Where the basic table starts in the area.
inline constexpr std::uint32_t kSimSfdpTableAt = 0x30;

/// The part's SFDP area from address 0; bytes beyond it read as 0xFF.
std::vector<std::uint8_t> SimSfdpArea(const SimSpiFlashPart& part);

}  // namespace pw::sim
