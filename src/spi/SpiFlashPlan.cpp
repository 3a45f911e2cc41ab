#include "spi/SpiFlashPlan.h"

#include <algorithm>

namespace pw {

SpiSectorPlan PlanSector(std::span<const std::uint8_t> chip, std::span<const std::uint8_t> wanted,
                         std::uint32_t pageSize) {
  SpiSectorPlan plan;
  for (std::size_t i = 0; i < chip.size() && !plan.Erase; ++i) plan.Erase = (chip[i] & wanted[i]) != wanted[i];
  for (std::uint32_t page = 0; page < wanted.size(); page += pageSize) {
    const auto want = wanted.subspan(page, pageSize);
    const bool needed = plan.Erase ? std::any_of(want.begin(), want.end(), [](std::uint8_t b) { return b != 0xFF; })
                                   : !std::equal(want.begin(), want.end(), chip.begin() + page);
    if (needed) plan.Pages.push_back(page);
  }
  return plan;
}

}  // namespace pw
