#include "sim/SimSfdp.h"

#include <algorithm>
#include <array>

namespace pw::sim {
namespace {

constexpr std::uint32_t kDwords = 16;

void PutDword(std::vector<std::uint8_t>& area, std::uint32_t n, std::uint32_t value) {
  for (std::uint32_t i = 0; i < 4; ++i)
    area[kSimSfdpTableAt + (n - 1) * 4 + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

/// A time as JESD216 packs it: a count less one in countBits bits, then the smallest of units that
/// reaches it.
template <std::size_t N>
std::uint32_t Packed(std::uint64_t time, std::uint32_t countBits, const std::array<std::uint64_t, N>& units) {
  const std::uint64_t most = std::uint64_t{1} << countBits;
  std::uint32_t unit = 0;
  while (unit + 1 < N && (time + units[unit] - 1) / units[unit] > most) ++unit;
  const std::uint64_t count = std::max<std::uint64_t>((time + units[unit] - 1) / units[unit], 1);
  return static_cast<std::uint32_t>(std::min(count, most) - 1) | (unit << countBits);
}

/// DWORD 1: the 4 KiB erase, a page buffer (not for byte-programmed parts), address bytes.
std::uint32_t FirstDword(const SimSpiFlashPart& part) {
  const bool small = part.SectorBytes == 4096;
  const std::uint32_t erase = small ? 0x2001u : 0xFF03u;
  const std::uint32_t buffer = part.ByteProgram ? 0 : 0x04;
  const std::uint32_t addressBytes = part.Size > (16u << 20) ? 1u << 17 : 0;
  return 0xFF80'0000u | addressBytes | erase | buffer;
}

/// DWORDs 8-11: erase types (4 KiB sector when the part has one, 64 KiB block), their times with a
/// maximum of ten times typical (multiplier 4), page size and program and chip-erase times.
void PutGeometry(std::vector<std::uint8_t>& area, const SimSpiFlashPart& part) {
  constexpr std::array<std::uint64_t, 4> kEraseMs = {1, 16, 128, 1000};
  constexpr std::array<std::uint64_t, 2> kProgramUs = {8, 64};
  constexpr std::array<std::uint64_t, 4> kChipMs = {16, 256, 4000, 64000};
  const bool sectors = part.SectorBytes != 0;
  const std::uint32_t first = sectors ? 0x2000u | 12 : 0xD800u | 16;
  const std::uint32_t second = sectors ? 0xD800u | 16 : 0;
  PutDword(area, 8, first | (second << 16));
  const std::uint32_t firstMs = Packed(sectors ? part.SectorEraseMs : part.BlockEraseMs, 5, kEraseMs);
  const std::uint32_t secondMs = sectors ? Packed(part.BlockEraseMs, 5, kEraseMs) : 0;
  PutDword(area, 10, 4 | (firstMs << 4) | (secondMs << 11));
  const std::uint32_t program = Packed(part.PageProgramUs, 5, kProgramUs);
  PutDword(area, 11, 4 | (8 << 4) | (program << 8) | (Packed(part.ChipEraseMs, 5, kChipMs) << 24));
}

/// DWORD 16 bits 31:24 and 23:14: how the part enters and leaves 4-byte addressing (B7/E9, after
/// a write enable or not) and whether it has the dedicated 4-byte commands.
std::uint32_t FourByteDword(const SimSpiFlashPart& part) {
  std::uint32_t entry = part.Opcodes4 ? 0x20u : 0;
  std::uint32_t exit = 0;
  if (part.Enter4 == SimEnter4::B7) entry |= 0x01, exit |= 0x001;
  if (part.Enter4 == SimEnter4::B7AfterWel) entry |= 0x02, exit |= 0x002;
  return (entry << 24) | (exit << 14);
}

}  // namespace

std::vector<std::uint8_t> SimSfdpArea(const SimSpiFlashPart& part) {
  std::vector<std::uint8_t> area(kSimSfdpTableAt + kDwords * 4, 0xFF);
  // "SFDP", revision 1.6, one parameter header, legacy access; the header: ID FF00, 1.6, length, pointer.
  const std::array<std::uint8_t, 16> headers = {'S', 'F', 'D', 'P', 6, 1, 0, 0xFF, 0, 6, 1, kDwords, kSimSfdpTableAt,
                                                0,   0,   0xFF};
  std::copy(headers.begin(), headers.end(), area.begin());
  for (std::uint32_t n = 1; n <= kDwords; ++n) PutDword(area, n, 0);
  PutDword(area, 1, FirstDword(part));
  PutDword(area, 2, part.Size * 8 - 1);
  PutGeometry(area, part);
  PutDword(area, 16, FourByteDword(part));
  return area;
}

}  // namespace pw::sim
