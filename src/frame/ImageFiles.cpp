#include "frame/ImageFiles.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

#include "common/AtomicFile.h"
#include "common/Error.h"
#include "common/RegularFile.h"
#include "hexfile/HexReader.h"
#include "hexfile/HexTexts.h"
#include "hexfile/HexWriter.h"

namespace pw {
namespace {

/// A start address that no record of a file for that page reaches in practice: records that
/// do land there go to scratch and are not counted.
constexpr std::uint32_t kUnusedRegion = 0x0FFFFFFF;

std::vector<std::uint8_t> ScratchBytes() { return std::vector<std::uint8_t>(MemoryImages::kElements); }

std::string ChecksumNotice(const HexLoadReport& report) {
  return report.BadChecksums == 0 ? std::string()
                                  : texts::HexBadChecksums(report.FirstBadChecksumLine, report.BadChecksums);
}

}  // namespace

std::string ReadBinaryImage(const std::filesystem::path& file, std::size_t capacity) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) throw PinwrightError(texts::kFileNotFound);
  std::string bytes = ReadRegularFile(file, kHexFileLimit);
  if (bytes.empty()) throw PinwrightError("Ошибка! Файл " + file.string() + " пуст; файл не загружен");
  if (bytes.size() > capacity) {
    throw PinwrightError("Ошибка! Файл " + file.string() + " (" + std::to_string(bytes.size()) +
                         " байт) больше памяти: в неё помещается " + std::to_string(capacity) + " байт");
  }
  return bytes;
}

namespace {

std::uint8_t Byte(const std::string& bytes, std::size_t k) {
  return k < bytes.size() ? static_cast<std::uint8_t>(bytes[k]) : std::uint8_t{0xFF};
}

void LoadBinaryFlash(const std::filesystem::path& file, MemoryImages& images) {
  const std::string bytes = ReadBinaryImage(file, 2 * MemoryImages::kElements);
  const std::size_t words = (bytes.size() + 1) / 2;
  // An odd last byte is the low half of a word whose high half the chip keeps erased.
  for (std::size_t w = 0; w < MemoryImages::kElements; ++w) {
    images.FlashImage[w] = w < words ? static_cast<std::uint16_t>(Byte(bytes, 2 * w) | (Byte(bytes, 2 * w + 1) << 8))
                                     : std::uint16_t{0xFFFF};
    images.FlashFilled[w] = w < words;
  }
  images.FlashDataCount = static_cast<std::int32_t>(words);
}

void LoadBinaryEeprom(const std::filesystem::path& file, MemoryImages& images) {
  const std::string bytes = ReadBinaryImage(file, MemoryImages::kElements);
  for (std::size_t k = 0; k < MemoryImages::kElements; ++k) {
    images.EepromImage[k] = Byte(bytes, k);
    images.EepromFilled[k] = k < bytes.size();
  }
  images.EepromDataCount = static_cast<std::int32_t>(bytes.size());
}

}  // namespace

bool IsBinaryFile(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".bin";
}

void SaveImageFile(const std::filesystem::path& file, std::string& hexText, std::span<const std::uint8_t> raw) {
  if (!IsBinaryFile(file)) return SaveHexText(file, hexText);
  WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
}

std::string LoadAvrFlashFile(const std::filesystem::path& file, MemoryImages& images) {
  if (IsBinaryFile(file)) {
    LoadBinaryFlash(file, images);
    return {};
  }
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
  if (IsBinaryFile(file)) {
    LoadBinaryEeprom(file, images);
    return {};
  }
  auto mid = ScratchBytes();
  std::int32_t ignoredWords = 0;
  std::int32_t ignoredMid = 0;
  HexLoadReport report = LoadHexFile(file, images.ReadBuffer, ignoredWords, images.EepromImage, images.EepromDataCount,
                                     0, mid, ignoredMid, kUnusedRegion);
  images.EepromFilled = std::move(report.TopFilled);
  return ChecksumNotice(report);
}

}  // namespace pw
