#include "spi/SpiFlashSfdp.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

#include "spi/SpiFlashTexts.h"

namespace pw {
namespace {

/// Raised inside the reader; becomes the result's problem line.
struct Refused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// JESD216 v1.0 has 9 DWORDs in its basic table; later revisions add to it.
constexpr std::uint32_t kBasicTableLeast = 9;
/// "SFDP" read as a little-endian DWORD.
constexpr std::uint32_t kSignature = 0x50444653;
/// The largest time SpiFlash.ini takes (ms or µs), kept for SFDP types as well.
constexpr std::uint64_t kLongestTime = 10'000'000;

std::uint32_t Little(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

bool PowerOfTwo(std::uint64_t v) { return v != 0 && (v & (v - 1)) == 0; }

/// The basic table's DWORDs, numbered from 1 as JESD216 numbers them.
struct BasicTable {
  std::span<const std::uint8_t> Bytes;
  bool Has(std::size_t n) const { return n * 4 <= Bytes.size(); }
  std::uint32_t Dword(std::size_t n) const { return Has(n) ? Little(Bytes, (n - 1) * 4, 4) : 0; }
};

/// The longest basic-table header among the parameter headers, or nothing.
std::optional<std::span<const std::uint8_t>> BasicHeader(std::span<const std::uint8_t> area) {
  const std::size_t headers = area[6] + 1u;
  if (8 + headers * 8 > area.size()) throw Refused(texts::kSfdpHeadersOutside);
  std::optional<std::span<const std::uint8_t>> best;
  for (std::size_t k = 0; k < headers; ++k) {
    const auto header = area.subspan(8 + k * 8, 8);
    const bool basic = header[0] == 0x00 && header[7] == 0xFF && header[3] >= kBasicTableLeast;
    if (basic && (!best || header[3] > (*best)[3])) best = header;
  }
  return best;
}

BasicTable FindBasicTable(std::span<const std::uint8_t> area) {
  if (area.size() < 16 || Little(area, 0, 4) != kSignature) throw Refused(texts::kSfdpNoSignature);
  const auto header = BasicHeader(area);
  if (!header) throw Refused(texts::kSfdpNoBasicTable);
  const std::uint32_t pointer = Little(*header, 4, 3);
  const std::uint32_t dwords = (*header)[3];
  if (pointer % 4 != 0 || pointer + std::size_t{dwords} * 4 > area.size()) {
    throw Refused(texts::SfdpTableOutside(pointer, dwords));
  }
  return {area.subspan(pointer, std::size_t{dwords} * 4)};
}

/// DWORD 2: the size in bits less one, or (bit 31 set) the power of two of the bits.
std::uint32_t Density(const BasicTable& table) {
  const std::uint32_t d2 = table.Dword(2);
  const std::uint32_t n = d2 & 0x7FFF'FFFF;
  const std::uint64_t bits = (d2 & 0x8000'0000) != 0 ? (n < 40 ? std::uint64_t{1} << n : 0) : std::uint64_t{d2} + 1;
  const std::uint64_t bytes = bits / 8;
  if (bits % 8 != 0 || !PowerOfTwo(bytes) || bytes < 4096 || bytes > kSfdpMostBytes) {
    throw Refused(texts::SfdpBadDensity(d2));
  }
  return static_cast<std::uint32_t>(bytes);
}

/// DWORD 1 bits 18:17 (address bytes) and DWORD 16 bits 31:24 (ways into 4-byte addressing).
SpiFourByte FourByte(const BasicTable& table, std::uint32_t size) {
  const std::uint32_t addressBytes = (table.Dword(1) >> 17) & 3;
  if (addressBytes >= 2) throw Refused(texts::kSfdpAddressBytes);
  if (size <= kSpiFlashThreeByteBytes) return SpiFourByte::None;
  const std::uint32_t entry = table.Dword(16) >> 24;
  // Dedicated 4-byte commands need no mode to enter and leave; B7 alone comes next.
  if (addressBytes == 1 && (entry & 0x20) != 0) return SpiFourByte::Opcodes;
  if (addressBytes == 1 && (entry & 0x01) != 0) return SpiFourByte::EnterExit;
  if (addressBytes == 1 && (entry & 0x02) != 0) return SpiFourByte::EnterExitAfterWriteEnable;
  throw Refused(texts::kSfdpNoFourByteWay);
}

/// An erase the table offers, with its place in DWORD 10's times (-1: DWORD 1's, untimed).
struct EraseKind {
  SpiFlashErase Erase;
  int TimeIndex = -1;
};

std::vector<EraseKind> Erases(const BasicTable& table) {
  std::vector<EraseKind> kinds;
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t field = table.Dword(8 + i / 2) >> (16 * (i % 2));
    const std::uint32_t n = field & 0xFF;
    if (n != 0 && n < 32) kinds.push_back({{static_cast<std::uint8_t>(field >> 8), 1u << n}, i});
  }
  const std::uint32_t d1 = table.Dword(1);
  const bool listed = std::any_of(kinds.begin(), kinds.end(), [](const EraseKind& k) { return k.Erase.Bytes == 4096; });
  if ((d1 & 3) == 1 && !listed) kinds.push_back({{static_cast<std::uint8_t>(d1 >> 8), 4096}, -1});
  return kinds;
}

/// A typical time and its maximum, 2 × (multiplier + 1) times longer, both within reason.
SpiFlashTime Timed(std::uint64_t typical, std::uint32_t multiplier) {
  const std::uint64_t maximum = std::min(typical * 2 * (multiplier + 1), kLongestTime);
  return {static_cast<std::uint32_t>(std::min(typical, maximum)), static_cast<std::uint32_t>(maximum)};
}

/// DWORD 10's time for the erase, else a generous one for its size.
SpiFlashTime EraseMs(const BasicTable& table, const EraseKind& kind) {
  constexpr std::array<std::uint64_t, 4> kUnitMs = {1, 16, 128, 1000};
  if (kind.TimeIndex < 0 || !table.Has(10)) {
    return Timed(std::max<std::uint64_t>(100, kind.Erase.Bytes / 65536 * 500), 9);
  }
  const std::uint32_t d10 = table.Dword(10);
  const int shift = 4 + 7 * kind.TimeIndex;
  const std::uint64_t count = ((d10 >> shift) & 0x1F) + 1;
  return Timed(count * kUnitMs[(d10 >> (shift + 5)) & 3], d10 & 0xF);
}

/// The smallest erase a page fits in, and the largest up to the common 64 KiB block above it.
void ChooseErases(const BasicTable& table, FlashType& type) {
  const auto kinds = Erases(table);
  const EraseKind* sector = nullptr;
  for (const EraseKind& k : kinds) {
    const bool fits = k.Erase.Bytes >= type.PageSize && k.Erase.Bytes <= type.Size;
    if (fits && (!sector || k.Erase.Bytes < sector->Erase.Bytes)) sector = &k;
  }
  if (!sector) throw Refused(texts::kSfdpNoErase);
  const EraseKind* block = sector;
  for (const EraseKind& k : kinds) {
    const bool wider = k.Erase.Bytes > block->Erase.Bytes && k.Erase.Bytes <= std::min(kSpiLargestErase, type.Size);
    if (wider) block = &k;
  }
  type.Sector = sector->Erase;
  type.Block = block->Erase;
  type.SectorEraseMs = EraseMs(table, *sector);
  type.BlockEraseMs = EraseMs(table, *block);
}

/// DWORD 11: page size, page program and chip erase times; without it 256 bytes and generous times.
void ReadPages(const BasicTable& table, FlashType& type) {
  const std::uint64_t chipMs = std::max<std::uint64_t>(1000, type.Size / (1u << 20) * 2000);
  type.PageSize = 256;
  type.PageProgramUs = Timed(1000, 4);
  type.ChipEraseMs = Timed(chipMs, 9);
  if (!table.Has(11)) return;
  constexpr std::array<std::uint64_t, 4> kChipUnitMs = {16, 256, 4000, 64000};
  const std::uint32_t d11 = table.Dword(11);
  const std::uint64_t page = std::uint64_t{1} << ((d11 >> 4) & 0xF);
  if (page > 4096) throw Refused(texts::SfdpBadPage(page));
  type.PageSize = static_cast<std::uint32_t>(page);
  type.PageProgramUs = Timed((((d11 >> 8) & 0x1F) + 1) * ((d11 & (1u << 13)) != 0 ? 64 : 8), d11 & 0xF);
  type.ChipEraseMs = Timed((((d11 >> 24) & 0x1F) + 1) * kChipUnitMs[(d11 >> 29) & 3], d11 & 0xF);
}

FlashType Read(std::span<const std::uint8_t> area, const JedecId& id) {
  const BasicTable table = FindBasicTable(area);
  FlashType type;
  type.Name = "SFDP " + JedecText(id);
  type.Id = id;
  type.Size = Density(table);
  type.FourByte = FourByte(table, type.Size);
  ReadPages(table, type);
  ChooseErases(table, type);
  // BP0-BP3 sit in bits 2-5 on every maker's chips; bit 6 is QE on some (Macronix, ISSI), a
  // setting a board may rely on, so it is never cleared as if it were protection.
  type.StatusProtect = 0x3C;
  // DWORD 1 bit 2: a page buffer of 64 bytes or more; without one the chip writes byte by byte.
  type.Writable = (table.Dword(1) & 0x04) != 0;
  return type;
}

}  // namespace

SfdpTypeResult FlashTypeFromSfdp(std::span<const std::uint8_t> area, const JedecId& id) {
  try {
    return {Read(area, id), ""};
  } catch (const Refused& e) {
    return {std::nullopt, e.what()};
  }
}

}  // namespace pw
