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

std::uint32_t SpiChunkBytes(const FlashType& type) { return std::max(type.Block.Bytes, type.Sector.Bytes); }

std::vector<std::uint32_t> SpiFileChunks(const SpiFlashImage& image, std::uint32_t chunk) {
  std::vector<std::uint32_t> chunks;
  for (std::uint32_t start = 0; start < image.End; start += chunk) {
    const auto first = image.Filled.begin() + start;
    const auto end = first + std::min(chunk, image.End - start);
    if (std::find(first, end, true) != end) chunks.push_back(start);
  }
  return chunks;
}

std::vector<std::uint8_t> SpiWantedChunk(const SpiFlashImage& image, std::uint32_t base,
                                         std::span<const std::uint8_t> chip) {
  std::vector<std::uint8_t> wanted(chip.begin(), chip.end());
  for (std::uint32_t i = 0; i < chip.size() && base + i < image.End; ++i) {
    if (image.Filled[base + i]) wanted[i] = image.Bytes[base + i];
  }
  return wanted;
}

std::vector<SpiSectorPlan> PlanChunk(const FlashType& type, std::span<const std::uint8_t> chip,
                                     std::span<const std::uint8_t> wanted) {
  std::vector<SpiSectorPlan> plans;
  for (std::uint32_t s = 0; s < chip.size(); s += type.Sector.Bytes) {
    plans.push_back(
        PlanSector(chip.subspan(s, type.Sector.Bytes), wanted.subspan(s, type.Sector.Bytes), type.PageSize));
  }
  return plans;
}

}  // namespace pw
