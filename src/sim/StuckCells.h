#pragma once
/// @file
/// Memory cells that always read one level, whatever is programmed or erased: a worn or damaged
/// flash cell, as a bench's StuckFlash= key describes it (sim/BenchValues.h), for any chip.

#include <cstdint>
#include <vector>

namespace pw::sim {

class StuckCells {
 public:
  /// bit of the byte at address always reads level.
  void Stick(std::uint32_t address, int bit, bool level) {
    cells_.push_back({address, static_cast<std::uint8_t>(1u << (bit & 7)), level});
  }

  /// value as the byte at address reads with its stuck cells.
  std::uint8_t Apply(std::uint32_t address, std::uint8_t value) const {
    for (const Cell& c : cells_) {
      if (c.Address == address) value = static_cast<std::uint8_t>(c.Level ? value | c.Mask : value & ~c.Mask);
    }
    return value;
  }

 private:
  struct Cell {
    std::uint32_t Address;
    std::uint8_t Mask;
    bool Level;
  };
  std::vector<Cell> cells_;
};

}  // namespace pw::sim
