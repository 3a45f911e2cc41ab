// docs/hardware.md and README.md draw the board from src/d2xx/Wiring.h: their pin tables must
// name the same lines and, read as directions, give the masks the programmer opens with.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "d2xx/Wiring.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

/// The rows "| Dn | … |" of a Markdown file's first table whose header starts with `head`.
std::vector<std::vector<std::string>> PinRows(const std::string& markdown, const std::string& head) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(markdown.substr(markdown.find(head)));
  for (std::string line; std::getline(in, line) && line.rfind('|', 0) == 0;) {
    if (line.rfind("| D", 0) != 0) continue;
    std::vector<std::string> cells;
    std::istringstream cellsIn(line.substr(1));
    for (std::string cell; std::getline(cellsIn, cell, '|');) {
      const auto first = cell.find_first_not_of(' ');
      cells.push_back(first == std::string::npos ? "" : cell.substr(first, cell.find_last_not_of(' ') - first + 1));
    }
    rows.push_back(cells);
  }
  return rows;
}

/// The pins whose cell in `column` starts with `prefix` (an int, so that a failure prints a number).
int Pins(const std::vector<std::vector<std::string>>& rows, std::size_t column, const std::string& prefix) {
  int bits = 0;
  for (const auto& row : rows) {
    if (row.size() > column && row[column].rfind(prefix, 0) == 0) bits |= wiring::Bit(row[0][1] - '0');
  }
  return bits;
}

struct Named {
  std::size_t Column;  ///< 1 AVR, 2 PIC, 3 I2C
  const char* Prefix;
  int Bits;
};

constexpr std::array<Named, 13> kNamed{{
    {1, "MOSI", wiring::avr::Mosi},
    {1, "SCK", wiring::avr::Sck},
    {1, "RESET", wiring::avr::Reset},
    {1, "MISO", wiring::avr::Miso},
    {2, "supply", wiring::pic::SupplyA | wiring::pic::SupplyB},
    {2, "senses PGD", wiring::pic::PgdIn},
    {2, "PGD driver", wiring::pic::PgdOut},
    {2, "MCLR", wiring::pic::Mclr},
    {2, "PGC", wiring::pic::Pgc},
    {3, "held 0", wiring::i2c::Held0A | wiring::i2c::Held0B | wiring::i2c::Held0C | wiring::i2c::Held0D},
    {3, "senses SDA", wiring::i2c::SdaIn},
    {3, "SDA driver", wiring::i2c::SdaOut},
    {3, "SCL", wiring::i2c::Scl},
}};

TEST(WiringDoc, PinTablesNameTheLinesAndMasksOfWiringH) {
  const int masks[] = {0, wiring::avr::Mask, wiring::pic::Mask, wiring::i2c::Mask};
  for (const char* file : {"docs/hardware.md", "README.md"}) {
    SCOPED_TRACE(file);
    const auto rows = PinRows(test::ReadText(test::SourceDir() / file), "| Pin | AVR ISP header");
    ASSERT_EQ(rows.size(), 8u);
    for (const Named& n : kNamed) EXPECT_EQ(Pins(rows, n.Column, n.Prefix), n.Bits) << n.Prefix;
    // An input is a dash, a sensing line or the AVR's MISO; every other cell is driven.
    for (std::size_t column = 1; column <= 3; ++column) {
      const int inputs = Pins(rows, column, "–") | Pins(rows, column, "senses") | Pins(rows, column, "MISO");
      EXPECT_EQ(~inputs & 0xFF, masks[column]) << "column " << column;
    }
  }
}

TEST(WiringDoc, FlashTableSitsOnTheSpiFlashLines) {
  const auto rows = PinRows(test::ReadText(test::SourceDir() / "docs/hardware.md"), "| FT232R pin | AVR header");
  const Named flash[] = {{2, "DI", wiring::spiflash::Mosi},
                         {2, "CLK", wiring::spiflash::Sck},
                         {2, "/CS", wiring::spiflash::Cs},
                         {2, "DO", wiring::spiflash::Miso}};
  for (const Named& n : flash) EXPECT_EQ(Pins(rows, n.Column, n.Prefix), n.Bits) << n.Prefix;
}

}  // namespace
}  // namespace pw
