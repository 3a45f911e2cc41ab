#include <gtest/gtest.h>

#include "spi/SpiFlashPlan.h"

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Pages = std::vector<std::uint32_t>;

TEST(SpiFlashPlan, ErasesOnlyWhenABitMustRiseAndProgramsOnlyWhatDiffers) {
  // Sectors of four 4-byte pages.
  const struct {
    const char* name;
    Bytes chip;
    Bytes wanted;
    bool erase;
    Pages pages;
  } cases[] = {
      {"already equal", Bytes(16, 0x5A), Bytes(16, 0x5A), false, {}},
      {"bits only fall",
       Bytes(16, 0xFF),
       {0, 1, 2, 3, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 9, 0xFF, 0xFF, 0xFF},
       false,
       {0, 12}},
      {"one bit rises",
       {0xFE, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0},
       {0xFF, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0},
       true,
       {0, 4, 12}},
      {"erased to all 0xFF", Bytes(16, 0), Bytes(16, 0xFF), true, {}},
  };
  for (const auto& c : cases) {
    const SpiSectorPlan plan = PlanSector(c.chip, c.wanted, 4);
    EXPECT_EQ(plan.Erase, c.erase) << c.name;
    EXPECT_EQ(plan.Pages, c.pages) << c.name;
  }
}

}  // namespace
}  // namespace pw
