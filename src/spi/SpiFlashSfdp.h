#pragma once
/// @file
/// The type of a chip that SpiFlash.ini does not list, as its own SFDP area (JEDEC JESD216, read
/// with command 0x5A) describes it: the "SFDP" header, the parameter headers after it, and the
/// Basic Flash Parameter Table (parameter ID FF00) they point to.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "spi/SpiFlashTypes.h"

namespace pw {

/// The bytes of the SFDP area the identification reads from address 0: the headers and the
/// tables they point to must lie within them (chips keep them in the first few hundred bytes).
inline constexpr std::uint32_t kSfdpAreaBytes = 1024;

/// The largest chip an SFDP density is taken for: the largest the program serves.
inline constexpr std::uint64_t kSfdpMostBytes = kSpiFlashMostBytes;

/// The type, or a line saying what in the area is wrong or missing.
struct SfdpTypeResult {
  std::optional<FlashType> Type;
  std::string Problem;
};

/// The type of the chip with id whose SFDP area starts with area. Sizes, erases, page size and
/// address bytes come from the table; times from its DWORDs 10-11 (their maxima) when it has
/// them, else generous defaults; FourByte from DWORD 16 for chips beyond 16 MiB.
SfdpTypeResult FlashTypeFromSfdp(std::span<const std::uint8_t> area, const JedecId& id);

}  // namespace pw
