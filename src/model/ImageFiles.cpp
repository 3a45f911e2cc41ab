#include "model/ImageFiles.h"

#include <vector>

#include "hexfile/HexReader.h"
#include "hexfile/HexTexts.h"

namespace pw {
namespace {

/// A start address that no record of a file for that page reaches in practice: records that
/// do land there go to scratch and are not counted.
constexpr std::uint32_t kUnusedRegion = 0x0FFFFFFF;

std::vector<std::uint8_t> ScratchBytes() { return std::vector<std::uint8_t>(MemoryImages::kElements); }

std::string ChecksumNotice(const HexLoadReport& report) {
  return report.BadChecksums == 0 ? std::string() : texts::HexBadChecksums(report.FirstBadChecksumLine, report.BadChecksums);
}

}  // namespace

std::string LoadAvrFlashFile(const std::filesystem::path& file, MemoryImages& images) {
  auto top = ScratchBytes();
  auto mid = ScratchBytes();
  std::int32_t ignoredTop = 0;
  std::int32_t ignoredMid = 0;
  HexLoadReport report = LoadHexFile(file, images.FlashImage, images.FlashDataCount, top, ignoredTop, kUnusedRegion,
                                     mid, ignoredMid, kUnusedRegion);
  images.FlashFilled = std::move(report.WordsFilled);
  return ChecksumNotice(report);
}

std::string LoadEepromFile(const std::filesystem::path& file, MemoryImages& images) {
  auto mid = ScratchBytes();
  std::int32_t ignoredWords = 0;
  std::int32_t ignoredMid = 0;
  HexLoadReport report = LoadHexFile(file, images.ReadBuffer, ignoredWords, images.EepromImage,
                                     images.EepromDataCount, 0, mid, ignoredMid, kUnusedRegion);
  images.EepromFilled = std::move(report.TopFilled);
  return ChecksumNotice(report);
}

std::string LoadPicFile(const std::filesystem::path& file, MemoryImages& images) {
  std::int32_t ignoredConfig = 0;
  HexLoadReport report = LoadHexFile(file, images.FlashImage, images.FlashDataCount, images.EepromImage,
                                     images.EepromDataCount, kPicDataAddress, images.ConfigImage, ignoredConfig,
                                     kPicConfigAddress);
  images.FlashFilled = std::move(report.WordsFilled);
  images.EepromFilled = std::move(report.TopFilled);
  return ChecksumNotice(report);
}

}  // namespace pw
