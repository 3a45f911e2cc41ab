#include "hexfile/HexWriter.h"

#include <array>

#include "common/Error.h"
#include "common/StandardStreams.h"
#include "hexfile/HexTexts.h"

namespace pw {
namespace {

constexpr std::size_t kFullRecordBytes = 16;
constexpr const char* kEndRecord = ":00000001FF\r\n";

void AppendHexByte(std::string& text, unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  text += kDigits[(value >> 4) & 0xF];
  text += kDigits[value & 0xF];
}

/// One record: ":" count, 16-bit address, type, data, checksum, CR LF. The checksum is the
/// two's complement of the sum of every byte before it.
void AppendRecord(std::string& text, std::uint32_t address, unsigned type, std::span<const std::uint8_t> data) {
  unsigned sum = static_cast<unsigned>(data.size()) + ((address >> 8) & 0xFF) + (address & 0xFF) + type;
  text += ':';
  AppendHexByte(text, static_cast<unsigned>(data.size()));
  AppendHexByte(text, address >> 8);
  AppendHexByte(text, address);
  AppendHexByte(text, type);
  for (const std::uint8_t b : data) {
    AppendHexByte(text, b);
    sum += b;
  }
  AppendHexByte(text, (0x100 - (sum & 0xFF)) & 0xFF);
  text += "\r\n";
}

std::int32_t Advanced(std::int32_t address, std::uint32_t by) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(address) + by);
}

/// The loop the three writers share: `unitBytes(j, out)` puts the record bytes of unit j at
/// out and returns how many. Full records hold unitsPerRecord units and advance address by
/// 16; a short last record advances it by its unit count only if shortAdvances.
template <typename UnitBytes>
void AppendDataRecords(std::int32_t n, std::int32_t unitsPerRecord, UnitBytes&& unitBytes, std::string& hexText,
                       std::int32_t& address, std::uint32_t offset, bool shortAdvances) {
  std::array<std::uint8_t, kFullRecordBytes> data{};
  std::size_t length = 0;
  std::int32_t pending = 0;
  const auto flush = [&] {
    AppendRecord(hexText, static_cast<std::uint32_t>(address) + offset, 0x00, std::span(data.data(), length));
    length = 0;
  };
  for (std::int32_t j = 0; j < n; ++j) {
    length += unitBytes(j, data.data() + length);
    if (++pending == unitsPerRecord) {
      flush();
      address = Advanced(address, kFullRecordBytes);
      pending = 0;
    }
  }
  if (pending == 0) return;
  flush();
  if (shortAdvances) address = Advanced(address, static_cast<std::uint32_t>(pending));
}

void RequireBytes(std::size_t available, std::int32_t start, std::int32_t n) {
  if (start < 0 || static_cast<std::size_t>(start) > available ||
      static_cast<std::size_t>(n) > available - static_cast<std::size_t>(start)) {
    throw PinwrightError(texts::kHexSourceTooShort);
  }
}

/// The address record of address's 64 KiB block, when it is not lastBlock: extended linear
/// (04) when linear, else extended segment (02, segment = block × 0x1000).
void AppendBlockRecord(std::string& hexText, std::int32_t address, std::optional<std::uint32_t>& lastBlock,
                       bool linear) {
  const std::uint32_t block = static_cast<std::uint32_t>(address) >> 16;
  if (lastBlock == block) return;
  lastBlock = block;
  const std::uint32_t value = linear ? block : block << 12;
  const std::array<std::uint8_t, 2> data{static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
  AppendRecord(hexText, 0, linear ? 0x04 : 0x02, data);
}

}  // namespace

void AppendHexWords(std::int32_t n, std::span<const std::uint16_t> source, std::string& hexText,
                    std::int32_t& address) {
  if (n <= 0) return;
  if (static_cast<std::size_t>(n) > source.size()) throw PinwrightError(texts::kHexSourceTooShort);
  const auto unit = [&](std::int32_t j, std::uint8_t* out) {
    const std::uint16_t w = source[static_cast<std::size_t>(j)];
    out[0] = static_cast<std::uint8_t>(w & 0xFF);
    out[1] = static_cast<std::uint8_t>(w >> 8);
    return std::size_t{2};
  };
  AppendDataRecords(n, 8, unit, hexText, address, 0, false);
}

void AppendHexBytes(std::int32_t n, std::span<const std::uint8_t> source, std::string& hexText, std::int32_t& address,
                    std::uint32_t offset, std::int32_t start) {
  if (n <= 0) return;
  RequireBytes(source.size(), start, n);
  const auto unit = [&](std::int32_t j, std::uint8_t* out) {
    out[0] = source[static_cast<std::size_t>(start + j)];
    return std::size_t{1};
  };
  AppendDataRecords(n, 16, unit, hexText, address, offset, false);
}

void AppendHexBytesAsWords(std::int32_t n, std::span<const std::uint8_t> source, std::string& hexText,
                           std::int32_t& address, std::uint32_t offset, std::int32_t start) {
  if (n <= 0) return;
  RequireBytes(source.size(), start, n);
  const auto unit = [&](std::int32_t j, std::uint8_t* out) {
    out[0] = source[static_cast<std::size_t>(start + j)];
    out[1] = 0x00;
    return std::size_t{2};
  };
  AppendDataRecords(n, 8, unit, hexText, address, offset, true);
}

void AppendSegmentRecord(std::string& hexText, std::int32_t address, std::optional<std::uint32_t>& lastBlock) {
  // A segment base reaches 1 MiB at most; above that only a linear base can say where data lies.
  AppendBlockRecord(hexText, address, lastBlock, (static_cast<std::uint32_t>(address) >> 16) >= 0x10);
}

void AppendLinearRecord(std::string& hexText, std::int32_t address, std::optional<std::uint32_t>& lastBlock) {
  AppendBlockRecord(hexText, address, lastBlock, true);
}

void SaveHexText(const std::filesystem::path& fileName, std::string& hexText) {
  const std::size_t before = hexText.size();
  hexText += kEndRecord;
  try {
    WriteOutputFile(fileName, hexText);
  } catch (...) {
    hexText.resize(before);
    throw;
  }
}

}  // namespace pw
