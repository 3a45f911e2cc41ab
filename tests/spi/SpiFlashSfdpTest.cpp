#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "spi/SpiFlashSfdp.h"
#include "spi/SpiFlashTexts.h"

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Dwords = std::vector<std::uint32_t>;

/// The basic tables of a W25Q32 and an MX25L6433F: JESD216 1.0, 9 DWORDs, erases 4 KiB (20),
/// 32 KiB (52) and 64 KiB (D8).
const Dwords kW25Q32 = {0xFFF120E5, 0x01FFFFFF, 0x6B08EB44, 0xBB423B08, 0xFFFFFFFE,
                        0x0000FFFF, 0xEB21FFFF, 0x520F200C, 0xFF00D810};
const Dwords kMX25L6433F = {0xFFF120E5, 0x03FFFFFF, 0x6B08EB44, 0xBB043B08, 0xFFFFFFFE,
                            0xFF00FFFF, 0xEB44FFFF, 0x520F200C, 0xFF00D810};
/// A 32 MiB chip's JESD216B table with the W25Q256JV's erases and datasheet times: address bytes
/// "3 or 4", DWORD 10 (erase times, maxima 10 × typical), DWORD 11 (page 256, 0.7 ms program,
/// 80 s chip erase, maxima 6 × typical), DWORD 16 (B7 and dedicated 4-byte commands).
const Dwords kW25Q256 = {0xFFFB20E5, 0x0FFFFFFF, 0x6B08EB44, 0xBB423B08, 0xFFFFFFEE, 0xFF00FFFF,
                         0xEB40FFFF, 0x520F200C, 0xFF00D810, 0x00A53A24, 0x53002A82, 0,
                         0,          0,          0,          0xA1FB0AF0};

/// The area a chip answers: "SFDP" 1.0, one basic-table header pointing at 0x30, the table.
Bytes Area(const Dwords& table, std::initializer_list<std::pair<std::size_t, std::uint32_t>> changes = {}) {
  Dwords dwords = table;
  for (const auto& [n, value] : changes) dwords[n - 1] = value;
  Bytes area = {'S', 'F', 'D', 'P', 0, 1, 0, 0xFF, 0, 0, 1, static_cast<std::uint8_t>(dwords.size()), 0x30, 0, 0, 0xFF};
  area.resize(0x30, 0xFF);
  for (const std::uint32_t d : dwords) {
    for (int i = 0; i < 4; ++i) area.push_back(static_cast<std::uint8_t>(d >> (8 * i)));
  }
  return area;
}

Bytes Poked(std::size_t at, std::uint8_t value) {
  Bytes area = Area(kW25Q32);
  area[at] = value;
  return area;
}

/// Size, page, sector and block erase, 4-byte way, writable, maxima of sector, block, page and chip.
std::string Summary(const FlashType& t) {
  const auto erase = [](SpiFlashErase e) { return HexDigits(e.Command, 2) + ":" + std::to_string(e.Bytes); };
  const char* ways[] = {"3", "B7", "4op"};
  return std::to_string(t.Size) + " " + std::to_string(t.PageSize) + " " + erase(t.Sector) + " " + erase(t.Block) +
         " " + ways[static_cast<int>(t.FourByte)] + (t.Writable ? " w " : " r ") +
         std::to_string(t.SectorEraseMs.Maximum) + " " + std::to_string(t.BlockEraseMs.Maximum) + " " +
         std::to_string(t.PageProgramUs.Maximum) + " " + std::to_string(t.ChipEraseMs.Maximum);
}

TEST(SpiFlashSfdp, RealTablesGiveTheirTypesAndMalformedOnesAreRefusedByName) {
  const struct {
    const char* name;
    Bytes area;
    std::string expected;  // Summary of the type, or the problem
  } cases[] = {
      // Without DWORDs 10-11: page 256 and the generous default times.
      {"W25Q32", Area(kW25Q32), "4194304 256 20:4096 D8:65536 3 w 2000 10000 10000 160000"},
      {"MX25L6433F", Area(kMX25L6433F), "8388608 256 20:4096 D8:65536 3 w 2000 10000 10000 320000"},
      {"W25Q256", Area(kW25Q256), "33554432 256 20:4096 D8:65536 4op w 480 1600 4224 480000"},
      {"B7 alone", Area(kW25Q256, {{16, 0x81FB0AF0}}), "33554432 256 20:4096 D8:65536 B7 w 480 1600 4224 480000"},
      {"density as a power", Area(kW25Q32, {{2, 0x80000019}}),
       "4194304 256 20:4096 D8:65536 3 w 2000 10000 10000 160000"},
      {"64 KiB erase only, no page buffer", Area(kW25Q32, {{1, 0xFFF1FFE3}, {8, 0xFF00D810}, {9, 0}}),
       "4194304 256 D8:65536 D8:65536 3 r 10000 10000 10000 160000"},
      {"4 KiB erase in DWORD 1 only", Area(kW25Q32, {{8, 0xFF00D810}, {9, 0}}),
       "4194304 256 20:4096 D8:65536 3 w 2000 10000 10000 160000"},
      {"no signature", Bytes(64, 0xFF), texts::kSfdpNoSignature},
      {"cut short", Bytes(12, 'S'), texts::kSfdpNoSignature},
      {"headers beyond the area", Poked(6, 0xFF), texts::kSfdpHeadersOutside},
      {"no basic table", Poked(15, 0x01), texts::kSfdpNoBasicTable},
      {"basic table too short", Poked(11, 8), texts::kSfdpNoBasicTable},
      {"table beyond the area", Poked(13, 0x04), texts::SfdpTableOutside(0x430, 9)},
      {"table not aligned", Poked(12, 0x31), texts::SfdpTableOutside(0x31, 9)},
      {"density 0", Area(kW25Q32, {{2, 0}}), texts::SfdpBadDensity(0)},
      {"density 2^60 bits", Area(kW25Q32, {{2, 0x8000003C}}), texts::SfdpBadDensity(0x8000003C)},
      {"density no power of two", Area(kW25Q32, {{2, 0x017FFFFF}}), texts::SfdpBadDensity(0x017FFFFF)},
      {"4-byte addresses only", Area(kW25Q32, {{1, 0xFFF520E5}}), texts::kSfdpAddressBytes},
      {"32 MiB without a way", Area(kW25Q256, {{16, 0x00FB0AF0}}), texts::kSfdpNoFourByteWay},
      {"32 MiB, no DWORD 16", Area(Dwords(kW25Q256.begin(), kW25Q256.end() - 1)), texts::kSfdpNoFourByteWay},
      {"no erase", Area(kW25Q32, {{1, 0xFFF1FFE7}, {8, 0}, {9, 0}}), texts::kSfdpNoErase},
      {"page beyond 4096", Area(kW25Q256, {{11, 0x53002AD2}}), texts::SfdpBadPage(8192)},
  };
  const JedecId id{0xEF, 0x40, 0x16};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SfdpTypeResult result = FlashTypeFromSfdp(c.area, id);
    EXPECT_EQ(result.Type ? Summary(*result.Type) : result.Problem, c.expected);
  }
}

}  // namespace
}  // namespace pw
