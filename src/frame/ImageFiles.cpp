#include "frame/ImageFiles.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

#include "common/Error.h"
#include "common/RegularFile.h"
#include "common/StandardStreams.h"
#include "frame/Texts.h"
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

std::string ReadImageInput(const ImageFile& file, std::uintmax_t limit) {
  if (IsStandardStream(file.Name)) return ReadStandardInput(limit);
  if (!IsPresentFile(file.Name)) throw PinwrightError(texts::kFileNotFound);
  return ReadRegularFile(file.Name, limit);
}

HexLoadReport LoadHexImage(const ImageFile& file, std::span<std::uint16_t> wordTarget, std::int32_t& wordCount,
                           std::span<std::uint8_t> topTarget, std::int32_t& topCount, std::uint32_t topStart,
                           std::span<std::uint8_t> midTarget, std::int32_t& midCount, std::uint32_t midStart) {
  const std::string text = ReadImageInput(file, kHexFileLimit);
  return LoadHexText(text, file.Name.string(), wordTarget, wordCount, topTarget, topCount, topStart, midTarget,
                     midCount, midStart);
}

std::string ReadBinaryImage(const ImageFile& file, std::size_t capacity) {
  std::string bytes = ReadImageInput(file, kHexFileLimit);
  if (bytes.empty()) throw PinwrightError("Ошибка! Файл " + file.Name.string() + " пуст; файл не загружен");
  if (bytes.size() > capacity) {
    throw PinwrightError("Ошибка! Файл " + file.Name.string() + " (" + std::to_string(bytes.size()) +
                         " байт) больше памяти: в неё помещается " + std::to_string(capacity) + " байт");
  }
  return bytes;
}

namespace {

std::uint8_t Byte(const std::string& bytes, std::size_t k) {
  return k < bytes.size() ? static_cast<std::uint8_t>(bytes[k]) : std::uint8_t{0xFF};
}

void LoadBinaryEeprom(const ImageFile& file, MemoryImages& images) {
  const std::string bytes = ReadBinaryImage(file, MemoryImages::kEepromElements);
  for (std::size_t k = 0; k < MemoryImages::kEepromElements; ++k) {
    images.EepromImage[k] = Byte(bytes, k);
    images.EepromFilled[k] = k < bytes.size();
  }
  images.EepromDataCount = static_cast<std::int32_t>(bytes.size());
}

}  // namespace

FileFormat FormatOf(const ImageFile& file) {
  if (file.Format != FileFormat::ByName) return file.Format;
  std::string extension = file.Name.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const char* binary : {".bin", ".rom", ".img", ".raw"}) {
    if (extension == binary) return FileFormat::Binary;
  }
  return extension == ".elf" ? FileFormat::Elf : FileFormat::Hex;
}

void RequireFormat(const ImageFile& file, std::initializer_list<FileFormat> formats, const char* taken) {
  if (std::find(formats.begin(), formats.end(), FormatOf(file)) == formats.end()) {
    throw PinwrightError(texts::FormatNotTaken(file.Name.string(), taken));
  }
}

void SaveImageFile(const ImageFile& file, std::string& hexText, std::span<const std::uint8_t> raw) {
  RequireFormat(file, {FileFormat::Hex, FileFormat::Binary}, texts::kHexOrBinary);
  if (FormatOf(file) == FileFormat::Hex) return SaveHexText(file.Name, hexText);
  WriteOutputFile(file.Name, std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
}

std::string LoadEepromFile(const ImageFile& file, MemoryImages& images) {
  RequireFormat(file, {FileFormat::Hex, FileFormat::Binary}, texts::kHexOrBinary);
  if (FormatOf(file) == FileFormat::Binary) {
    LoadBinaryEeprom(file, images);
    images.EepromDamaged = false;
    return {};
  }
  auto mid = ScratchBytes();
  std::vector<std::uint16_t> words(MemoryImages::kElements);
  std::int32_t ignoredWords = 0;
  std::int32_t ignoredMid = 0;
  HexLoadReport report = LoadHexImage(file, words, ignoredWords, images.EepromImage, images.EepromDataCount, 0, mid,
                                      ignoredMid, kUnusedRegion);
  images.EepromFilled = std::move(report.TopFilled);
  images.EepromDamaged = report.BadChecksums != 0;
  return ChecksumNotice(report);
}

}  // namespace pw
