#include "spi/SpiFlashImage.h"

#include <algorithm>

#include "common/Error.h"
#include "common/HexDigits.h"
#include "common/StandardStreams.h"
#include "frame/ImageFiles.h"
#include "frame/Texts.h"
#include "hexfile/HexReader.h"
#include "hexfile/HexTexts.h"
#include "spi/SpiFlashTypes.h"

namespace pw {
namespace {

SpiFlashImage LoadBinary(const ImageFile& file) {
  const std::string data = ReadBinaryImage(file, kSpiFlashMostBytes);
  SpiFlashImage image;
  image.Bytes.assign(data.begin(), data.end());
  image.Filled.assign(data.size(), true);
  image.End = static_cast<std::uint32_t>(data.size());
  return image;
}

SpiFlashImage LoadHex(const ImageFile& file, std::string& notice) {
  SpiFlashImage image;
  image.Bytes.assign(kSpiFlashMostBytes, 0xFF);
  std::vector<std::uint16_t> noWords;
  std::vector<std::uint8_t> noMid;
  std::int32_t words = 0;
  std::int32_t end = 0;
  std::int32_t mid = 0;
  // Every byte address is the chip's own: all records go to one byte image from address 0.
  HexLoadReport report = LoadHexImage(file, noWords, words, image.Bytes, end, 0, noMid, mid, 0);
  image.Filled = std::move(report.TopFilled);
  image.Damaged = report.BadChecksums != 0;
  image.End = static_cast<std::uint32_t>(end);
  image.Bytes.resize(image.End);
  image.Filled.resize(image.End);
  if (report.BadChecksums != 0) notice = texts::HexBadChecksums(report.FirstBadChecksumLine, report.BadChecksums);
  return image;
}

void AppendRecord(std::string& text, std::uint16_t address, std::uint8_t type, std::span<const std::uint8_t> data) {
  std::uint32_t sum = static_cast<std::uint32_t>(data.size()) + (address >> 8) + (address & 0xFF) + type;
  text += ':' + HexDigits(static_cast<std::uint32_t>(data.size()), 2) + HexDigits(address, 4) + HexDigits(type, 2);
  for (const std::uint8_t b : data) {
    text += HexDigits(b, 2);
    sum += b;
  }
  text += HexDigits((0x100 - (sum & 0xFF)) & 0xFF, 2) + "\r\n";
}

}  // namespace

SpiFlashImage LoadSpiFlashImage(const ImageFile& file, std::string& notice) {
  notice.clear();
  RequireFormat(file, {FileFormat::Hex, FileFormat::Binary}, texts::kHexOrBinary);
  return FormatOf(file) == FileFormat::Binary ? LoadBinary(file) : LoadHex(file, notice);
}

std::string SpiFlashHexText(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() / 16 * 45 + 64);
  for (std::size_t at = 0; at < bytes.size(); at += 16) {
    if (at % 0x10000 == 0) {
      const std::uint8_t upper[2] = {static_cast<std::uint8_t>(at >> 24), static_cast<std::uint8_t>(at >> 16)};
      AppendRecord(text, 0, 0x04, upper);
    }
    AppendRecord(text, static_cast<std::uint16_t>(at & 0xFFFF), 0x00,
                 bytes.subspan(at, std::min<std::size_t>(16, bytes.size() - at)));
  }
  AppendRecord(text, 0, 0x01, {});
  return text;
}

void SaveSpiFlashImage(const ImageFile& file, std::span<const std::uint8_t> bytes) {
  RequireFormat(file, {FileFormat::Hex, FileFormat::Binary}, texts::kHexOrBinary);
  if (FormatOf(file) == FileFormat::Binary) {
    WriteOutputFile(file.Name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } else {
    WriteOutputFile(file.Name, SpiFlashHexText(bytes));
  }
}

}  // namespace pw
