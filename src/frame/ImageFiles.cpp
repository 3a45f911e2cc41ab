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

std::vector<std::uint8_t> ScratchBytes() { return std::vector<std::uint8_t>(MemoryImages::kElements); }

}  // namespace

std::string ChecksumNotice(const HexLoadReport& report) {
  return report.BadChecksums == 0 ? std::string()
                                  : texts::HexBadChecksums(report.FirstBadChecksumLine, report.BadChecksums);
}

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

void LoadBinaryEeprom(const std::filesystem::path& file, MemoryImages& images) {
  const std::string bytes = ReadBinaryImage(file, MemoryImages::kEepromElements);
  for (std::size_t k = 0; k < MemoryImages::kEepromElements; ++k) {
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

std::string LoadEepromFile(const std::filesystem::path& file, MemoryImages& images) {
  if (IsBinaryFile(file)) {
    LoadBinaryEeprom(file, images);
    images.EepromDamaged = false;
    return {};
  }
  auto mid = ScratchBytes();
  std::vector<std::uint16_t> words(MemoryImages::kElements);
  std::int32_t ignoredWords = 0;
  std::int32_t ignoredMid = 0;
  HexLoadReport report = LoadHexFile(file, words, ignoredWords, images.EepromImage, images.EepromDataCount, 0, mid,
                                     ignoredMid, kUnusedRegion);
  images.EepromFilled = std::move(report.TopFilled);
  images.EepromDamaged = report.BadChecksums != 0;
  return ChecksumNotice(report);
}

}  // namespace pw
