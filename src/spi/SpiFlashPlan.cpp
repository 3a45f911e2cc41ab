#include "spi/SpiFlashPlan.h"

#include <algorithm>
#include <optional>

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

std::uint32_t SpiChunkBytes(const FlashType& type) {
  return std::min(type.Size, std::max({type.Block.Bytes, type.Sector.Bytes, kSpiLargestErase}));
}

std::vector<std::uint32_t> SpiFileChunks(const SpiFlashImage& image, std::uint32_t chunk) {
  std::vector<std::uint32_t> chunks;
  for (std::uint32_t start = 0; start < image.End; start += chunk) {
    const auto first = image.Filled.begin() + start;
    const auto end = first + std::min(chunk, image.End - start);
    if (std::find(first, end, true) != end) chunks.push_back(start);
  }
  return chunks;
}

SpiSpan SpiFilledSpan(const SpiFlashImage& image, std::uint32_t base, std::uint32_t chunk, std::uint32_t align) {
  const std::uint32_t end = std::min(chunk, image.End - std::min(image.End, base));
  const auto from = image.Filled.begin() + base;
  const auto first = std::find(from, from + end, true);
  if (first == from + end) return {};
  const auto last = std::find(std::make_reverse_iterator(from + end), std::make_reverse_iterator(first), true);
  const auto firstAt = static_cast<std::uint32_t>(first - from);
  const auto lastEnd = static_cast<std::uint32_t>(last.base() - from);
  return {firstAt / align * align, std::min(chunk, (lastEnd + align - 1) / align * align)};
}

bool SpiFillsChunk(const SpiFlashImage& image, std::uint32_t base, std::uint32_t chunk) {
  if (image.End < base || image.End - base < chunk) return false;
  const auto first = image.Filled.begin() + base;
  return std::all_of(first, first + chunk, [](bool filled) { return filled; });
}

std::vector<std::uint8_t> SpiWantedChunk(const SpiFlashImage& image, std::uint32_t base,
                                         std::span<const std::uint8_t> chip) {
  std::vector<std::uint8_t> wanted(chip.begin(), chip.end());
  for (std::uint32_t i = 0; i < chip.size() && base + i < image.End; ++i) {
    if (image.Filled[base + i]) wanted[i] = image.Bytes[base + i];
  }
  return wanted;
}

namespace {

/// Marks the blocks whose every sector is to be erased: one block erase does it.
void MarkBlockErases(const FlashType& type, std::vector<SpiSectorPlan>& plans) {
  const std::size_t perBlock = type.Block.Bytes / type.Sector.Bytes;
  for (std::size_t first = 0; perBlock > 1 && first < plans.size(); first += perBlock) {
    const auto block = std::span(plans).subspan(first, perBlock);
    if (!std::all_of(block.begin(), block.end(), [](const SpiSectorPlan& p) { return p.Erase; })) continue;
    block.front().BlockStart = true;
    for (SpiSectorPlan& p : block.subspan(1)) p.InBlock = true;
  }
}

}  // namespace

std::vector<SpiSectorPlan> PlanChunk(const FlashType& type, std::span<const std::uint8_t> chip,
                                     std::span<const std::uint8_t> wanted) {
  std::vector<SpiSectorPlan> plans;
  for (std::uint32_t s = 0; s < chip.size(); s += type.Sector.Bytes) {
    plans.push_back(
        PlanSector(chip.subspan(s, type.Sector.Bytes), wanted.subspan(s, type.Sector.Bytes), type.PageSize));
  }
  MarkBlockErases(type, plans);
  return plans;
}

std::vector<SpiSectorPlan> PlanErasedChunk(const FlashType& type, std::span<const std::uint8_t> wanted) {
  const std::vector<std::uint8_t> blank(wanted.size(), 0xFF);
  std::vector<SpiSectorPlan> plans = PlanChunk(type, blank, wanted);
  for (SpiSectorPlan& plan : plans) plan.Erase = true;
  MarkBlockErases(type, plans);
  return plans;
}

void KeepChunk(SpiKeptBytes& kept, const SpiFlashImage& image, std::uint32_t base,
               std::span<const std::uint8_t> wanted) {
  const std::size_t end = base + wanted.size();
  if (kept.Bytes.size() < end) kept.Bytes.resize(end, 0xFF);
  if (kept.Kept.size() < end) kept.Kept.resize(end, false);
  for (std::uint32_t i = 0; i < wanted.size(); ++i) {
    const std::uint32_t at = base + i;
    if (at < image.End && image.Filled[at]) continue;
    kept.Bytes[at] = wanted[i];
    kept.Kept[at] = true;
  }
}

void FindLostBytes(const SpiKeptBytes& kept, std::uint32_t base, std::span<const std::uint8_t> chip,
                   std::vector<SpiByteRange>& lost) {
  for (std::uint32_t i = 0; i < chip.size() && base + i < kept.Kept.size(); ++i) {
    const std::uint32_t at = base + i;
    if (!kept.Kept[at] || kept.Bytes[at] == chip[i]) continue;
    if (!lost.empty() && lost.back().Last + 1 == at) {
      lost.back().Last = at;
    } else {
      lost.push_back({at, at});
    }
  }
}

SpiSpan SpiChangedSpan(std::span<const SpiSectorPlan> plans, std::uint32_t sectorBytes, std::uint32_t pageSize) {
  const auto chunk = static_cast<std::uint32_t>(plans.size()) * sectorBytes;
  std::optional<SpiSpan> changed;
  for (std::uint32_t s = 0; s < plans.size(); ++s) {
    if (plans[s].Erase) return {0, chunk};
    if (plans[s].Pages.empty()) continue;
    if (!changed) changed = SpiSpan{s * sectorBytes + plans[s].Pages.front(), 0};
    changed->End = s * sectorBytes + plans[s].Pages.back() + pageSize;
  }
  return changed.value_or(SpiSpan{});
}

}  // namespace pw
