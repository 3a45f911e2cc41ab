#include "avr/AvrFlashFile.h"

#include <utility>
#include <vector>

#include "avr/AvrElfFile.h"
#include "frame/ImageFiles.h"
#include "hexfile/HexReader.h"

namespace pw {
namespace {

void LoadBinaryFlash(const ImageFile& file, MemoryImages& images) {
  const std::string bytes = ReadBinaryImage(file, 2 * MemoryImages::kFlashWords);
  const std::size_t words = (bytes.size() + 1) / 2;
  const auto byte = [&bytes](std::size_t k) {
    return k < bytes.size() ? static_cast<std::uint8_t>(bytes[k]) : std::uint8_t{0xFF};
  };
  // An odd last byte is the low half of a word whose high half the chip keeps erased.
  for (std::size_t w = 0; w < MemoryImages::kFlashWords; ++w) {
    images.FlashImage[w] = w < words ? static_cast<std::uint16_t>(byte(2 * w) | (byte(2 * w + 1) << 8)) : 0xFFFF;
    images.FlashFilled[w] = w < words;
  }
  images.FlashDataCount = static_cast<std::int32_t>(words);
}

}  // namespace

std::string LoadAvrFlashFile(const ImageFile& file, MemoryImages& images) {
  if (FormatOf(file) == FileFormat::Elf) {
    LoadAvrElfFlash(file, images);
    return {};
  }
  if (FormatOf(file) == FileFormat::Binary) {
    LoadBinaryFlash(file, images);
    images.FlashDamaged = false;
    return {};
  }
  // Everything goes to program words: the layout's byte targets take no records.
  std::vector<std::uint8_t> top(MemoryImages::kElements);
  std::vector<std::uint8_t> mid(MemoryImages::kElements);
  std::int32_t ignoredTop = 0;
  std::int32_t ignoredMid = 0;
  HexLoadReport report = LoadHexImage(file, images.FlashImage, images.FlashDataCount, top, ignoredTop, kUnusedRegion,
                                      mid, ignoredMid, kUnusedRegion);
  images.FlashFilled = std::move(report.WordsFilled);
  images.FlashDamaged = report.BadChecksums != 0;
  return ChecksumNotice(report);
}

std::string LoadAvrEepromFile(const ImageFile& file, MemoryImages& images) {
  if (FormatOf(file) != FileFormat::Elf) return LoadEepromFile(file, images);
  LoadAvrElfEeprom(file, images);
  return {};
}

}  // namespace pw
