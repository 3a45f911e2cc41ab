#include "pic/Pic18Files.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/Error.h"
#include "frame/ImageFiles.h"
#include "frame/Texts.h"
#include "hexfile/HexWriter.h"
#include "pic/PicFiles.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// The configuration bytes' place in the scratch image that starts at the ID bytes.
constexpr std::size_t kConfigOffset = kPic18ConfigAddress - kPic18IdAddress;
/// From the ID bytes to the last configuration byte: what the file may fill there.
constexpr std::size_t kIdToConfigBytes = kConfigOffset + kPicConfigBytes;
/// Program words in one 64 KiB block of the file.
constexpr std::size_t kBlockWords = 0x8000;

/// Refuses a file that filled a byte between the ID bytes and the configuration bytes.
void RefuseBetween(const std::vector<bool>& filled) {
  const auto first = filled.begin() + static_cast<std::ptrdiff_t>(kPic18IdBytes);
  const auto stray = std::find(first, filled.begin() + static_cast<std::ptrdiff_t>(kConfigOffset), true);
  if (stray == filled.begin() + static_cast<std::ptrdiff_t>(kConfigOffset)) return;
  throw PinwrightError(texts::Pic18DataNowhere(kPic18IdAddress + static_cast<std::uint32_t>(stray - filled.begin())));
}

/// The configuration area the file's ID and configuration bytes make; every other byte 0xFF.
std::vector<std::uint8_t> ConfigOf(const std::vector<std::uint8_t>& high) {
  std::vector<std::uint8_t> config(MemoryImages::kElements, 0xFF);
  std::copy_n(high.begin(), kPic18IdBytes, config.begin());
  std::copy_n(high.begin() + kConfigOffset, kPicConfigBytes, config.begin() + kPicConfigWordByte);
  return config;
}

/// Data EEPROM location k to byte 2k of images' data image, as a mid-range file puts it.
void PlaceData(const std::vector<std::uint8_t>& data, const std::vector<bool>& filled, std::int32_t count,
               MemoryImages& images) {
  std::fill(images.EepromImage.begin(), images.EepromImage.end(), std::uint8_t{0xFF});
  std::fill(images.EepromFilled.begin(), images.EepromFilled.end(), false);
  for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
    images.EepromImage[2 * k] = data[k];
    images.EepromImage[2 * k + 1] = filled[k] ? 0x00 : 0xFF;
    images.EepromFilled[2 * k] = filled[k];
  }
  images.EepromDataCount = 2 * count;
}

}  // namespace

std::string LoadPic18File(const ImageFile& file, MemoryImages& images) {
  std::vector<std::uint16_t> words(MemoryImages::kFlashWords);
  std::vector<std::uint8_t> high(kIdToConfigBytes);
  std::vector<std::uint8_t> data(static_cast<std::size_t>(kPicMostDataLocations));
  std::int32_t wordCount = 0;
  std::int32_t dataCount = 0;
  std::int32_t ignoredHigh = 0;
  RequireFormat(file, {FileFormat::Hex}, texts::kHexOnly);
  HexLoadReport report =
      LoadHexImage(file, words, wordCount, data, dataCount, kPic18DataAddress, high, ignoredHigh, kPic18IdAddress);
  RefuseBetween(report.MidFilled);
  images.FlashImage = std::move(words);
  images.FlashDataCount = wordCount;
  images.FlashFilled = std::move(report.WordsFilled);
  images.ConfigImage = ConfigOf(high);
  PlaceData(data, report.TopFilled, dataCount, images);
  images.FlashDamaged = images.EepromDamaged = report.BadChecksums != 0;
  return ChecksumNotice(report);
}

std::string Pic18DumpHex(std::span<const std::uint16_t> program, const PicConfigArea& area,
                         std::span<const std::uint8_t> data) {
  std::string hex;
  std::optional<std::uint32_t> block;
  for (std::size_t first = 0; first < program.size(); first += kBlockWords) {
    auto address = static_cast<std::int32_t>(2 * first);
    AppendLinearRecord(hex, address, block);
    const auto n = static_cast<std::int32_t>(std::min(kBlockWords, program.size() - first));
    AppendHexWords(n, program.subspan(first), hex, address);
  }
  // Each region starts its own block, at record address 0.
  std::int32_t address = 0;
  AppendLinearRecord(hex, kPic18IdAddress, block);
  AppendHexBytes(kPic18IdBytes, area, hex, address, 0, 0);
  AppendLinearRecord(hex, kPic18ConfigAddress, block);
  AppendHexBytes(kPicConfigBytes, area, hex, address = 0, 0, kPicConfigWordByte);
  if (data.empty()) return hex;
  AppendLinearRecord(hex, kPic18DataAddress, block);
  AppendHexBytes(static_cast<std::int32_t>(data.size()), data, hex, address = 0, 0, 0);
  return hex;
}

PicLoader PicFileLoader(const PicTypeValues& type) { return PicIsPic18(type) ? LoadPic18File : LoadPicFile; }

}  // namespace pw
