#include "model/ImageFiles.h"

#include <vector>

#include "hexfile/HexReader.h"

namespace pw {
namespace {

/// A start address that no record of a file for that page reaches in practice: records that
/// do land there go to scratch and are not counted.
constexpr std::uint32_t kUnusedRegion = 0x0FFFFFFF;

std::vector<std::uint8_t> ScratchBytes() { return std::vector<std::uint8_t>(MemoryImages::kElements); }

}  // namespace

void LoadAvrFlashFile(const std::filesystem::path& file, MemoryImages& images) {
  auto top = ScratchBytes();
  auto mid = ScratchBytes();
  std::int32_t ignoredTop = 0;
  std::int32_t ignoredMid = 0;
  LoadHexFile(file, images.FlashImage, images.FlashDataCount, top, ignoredTop, kUnusedRegion, mid, ignoredMid,
              kUnusedRegion);
}

void LoadEepromFile(const std::filesystem::path& file, MemoryImages& images) {
  auto mid = ScratchBytes();
  std::int32_t ignoredWords = 0;
  std::int32_t ignoredMid = 0;
  LoadHexFile(file, images.ReadBuffer, ignoredWords, images.EepromImage, images.EepromDataCount, 0, mid, ignoredMid,
              kUnusedRegion);
}

void LoadPicFile(const std::filesystem::path& file, MemoryImages& images) {
  std::int32_t ignoredConfig = 0;
  LoadHexFile(file, images.FlashImage, images.FlashDataCount, images.EepromImage, images.EepromDataCount,
              kPicDataAddress, images.ConfigImage, ignoredConfig, kPicConfigAddress);
}

}  // namespace pw
