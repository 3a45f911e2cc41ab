#include "pic/PicFiles.h"

#include <algorithm>
#include <vector>

#include "common/Error.h"
#include "frame/ImageFiles.h"
#include "frame/Texts.h"
#include "pic/PicConfigArea.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// Bytes of the configuration area a file may fill: words 0x2000 to 0x2008.
constexpr std::size_t kConfigBytes = 2 * PICUtils::kConfigWords;
/// Bytes of data memory a file may fill: up to the end of the first 64 KiB.
constexpr std::size_t kDataBytes = 2 * static_cast<std::size_t>(kPicMostDataLocations);

/// Refuses a file that filled bytes of a region from first on: they land in no memory.
void RefuseFilledFrom(const std::vector<bool>& filled, std::size_t first, std::uint32_t regionAddress) {
  const auto stray = std::find(filled.begin() + static_cast<std::ptrdiff_t>(first), filled.end(), true);
  if (stray == filled.end()) return;
  const auto byte = regionAddress + static_cast<std::uint32_t>(stray - filled.begin());
  throw PinwrightError(texts::PicDataNowhere(byte / 2));
}

/// One past the highest word filled[] marks.
std::int32_t FilledEnd(const std::vector<bool>& filled) {
  const auto last = std::find(filled.rbegin(), filled.rend(), true);
  return static_cast<std::int32_t>(filled.rend() - last);
}

/// Moves program word from (when the file filled it) into configuration word to; whether it did.
bool MoveToConfig(MemoryImages& images, std::size_t from, std::size_t to) {
  if (from >= images.FlashFilled.size() || !images.FlashFilled[from]) return false;
  images.ConfigImage[2 * to] = static_cast<std::uint8_t>(images.FlashImage[from]);
  images.ConfigImage[2 * to + 1] = static_cast<std::uint8_t>(images.FlashImage[from] >> 8);
  images.FlashImage[from] = 0xFFFF;
  images.FlashFilled[from] = false;
  return true;
}

}  // namespace

std::string LoadPicFile(const ImageFile& file, MemoryImages& images) {
  std::vector<std::uint16_t> words(MemoryImages::kFlashWords);
  std::vector<std::uint8_t> data(MemoryImages::kElements);
  std::vector<std::uint8_t> config(MemoryImages::kElements);
  std::int32_t wordCount = 0;
  std::int32_t dataCount = 0;
  std::int32_t ignoredConfig = 0;
  RequireFormat(file, {FileFormat::Hex}, texts::kHexOnly);
  HexLoadReport report =
      LoadHexImage(file, words, wordCount, data, dataCount, kPicDataAddress, config, ignoredConfig, kPicConfigAddress);
  RefuseFilledFrom(report.MidFilled, kConfigBytes, kPicConfigAddress);
  RefuseFilledFrom(report.TopFilled, kDataBytes, kPicDataAddress);
  images.FlashImage = std::move(words);
  images.EepromImage = std::move(data);
  images.ConfigImage = std::move(config);
  images.FlashDataCount = wordCount;
  images.EepromDataCount = dataCount;
  images.FlashFilled = std::move(report.WordsFilled);
  images.EepromFilled = std::move(report.TopFilled);
  // The PIC layout's data area is smaller than the EEPROM image the other pages' files fill.
  images.EepromImage.resize(MemoryImages::kEepromElements, 0xFF);
  images.EepromFilled.resize(MemoryImages::kEepromElements, false);
  images.FlashDamaged = images.EepromDamaged = report.BadChecksums != 0;
  return ChecksumNotice(report);
}

bool PlacePicWords(MemoryImages& images, const PicTypeValues& type) {
  if (type.ProgrammType != PicProgramming::Baseline) return false;
  bool moved = MoveToConfig(images, kPicBaselineConfigWord, kPicConfigWordByte / 2);
  for (std::size_t k = 0; k < 4; ++k) moved |= MoveToConfig(images, static_cast<std::size_t>(type.FlashSize) + k, k);
  if (moved) images.FlashDataCount = FilledEnd(images.FlashFilled);
  return moved;
}

}  // namespace pw
