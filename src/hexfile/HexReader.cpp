#include "hexfile/HexReader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/RegularFile.h"
#include "hexfile/HexTexts.h"

namespace pw {
namespace {

/// The characters at positions pos .. pos + len - 1 (counted from 1), as many as the line has.
std::string_view Slice(std::string_view line, std::size_t pos, std::size_t len) {
  return pos > line.size() ? std::string_view{} : line.substr(pos - 1, len);
}

/// One line of the file, read field by field; a bad digit is reported with its place.
class RecordLine {
 public:
  RecordLine(std::string_view text, long number) : text_(text), number_(number) {}

  std::string_view Text(std::size_t pos, std::size_t len) const { return Slice(text_, pos, len); }

  std::uint16_t Number(std::size_t pos, std::size_t len) const {
    const std::string_view field = Slice(text_, pos, len);
    for (std::size_t i = 0; i < field.size(); ++i) {
      if (HexDigitValue(field[i]) < 0) throw PinwrightError(texts::HexBadDigit(number_, pos + i));
    }
    return HexToWord(field);
  }

  long LineNumber() const { return number_; }

 private:
  std::string_view text_;
  long number_;
};

template <typename T>
struct ScratchImage {
  ScratchImage(std::size_t capacity, T fill) : data(capacity, fill), filled(capacity, false) {}
  std::vector<T> data;
  std::vector<bool> filled;
  std::size_t count = 0;
  bool any = false;

  void Fill(std::size_t index, T value) {
    data[index] = value;
    filled[index] = true;
    any = true;
  }

  void CommitTo(std::span<T> target, std::int32_t& targetCount) const {
    std::copy(data.begin(), data.end(), target.begin());
    targetCount = static_cast<std::int32_t>(count);
  }
};

/// Whether the record's bytes, from its count to its checksum, add up to 0 modulo 256. A
/// missing or non-hex checksum digit counts as a wrong checksum, not as a bad digit: the
/// checksum was never needed to read the data.
bool ChecksumHolds(std::string_view line, std::uint32_t dataBytes) {
  const std::size_t digits = 2 * (static_cast<std::size_t>(dataBytes) + 5);
  if (line.size() < 1 + digits) return false;
  unsigned sum = 0;
  for (std::size_t i = 1; i < 1 + digits; i += 2) {
    const int high = HexDigitValue(line[i]);
    const int low = HexDigitValue(line[i + 1]);
    if (high < 0 || low < 0) return false;
    sum += static_cast<unsigned>(high * 16 + low);
  }
  return (sum & 0xFF) == 0;
}

/// The images being built from the file's records; the caller's images stay untouched until
/// every line has been read without fault.
class HexLoad {
 public:
  HexLoad(std::size_t words, std::size_t top, std::uint32_t topStart, std::size_t mid, std::uint32_t midStart)
      : words_(words, 0xFFFF), top_(top, 0xFF), mid_(mid, 0xFF), topStart_(topStart), midStart_(midStart) {}

  void Read(const RecordLine& line) {
    const std::string_view type = line.Text(8, 2);
    if (type == "02") base_ = static_cast<std::uint32_t>(line.Number(10, 4)) * 16;
    if (type == "04") base_ = static_cast<std::uint32_t>(line.Number(10, 4)) << 16;
    if (type == "02" || type == "04") NoteChecksum(line, 2);
    if (type != "00" || line.Text(2, 2) == "00") return;
    const std::uint32_t n = line.Number(2, 2);
    NoteChecksum(line, n);
    const std::uint32_t address = line.Number(4, 4) + base_;
    if (address >= topStart_) {
      StoreBytes(line, top_, address, address - topStart_, n);
    } else if (address >= midStart_) {
      StoreBytes(line, mid_, address, address - midStart_, n);
    } else {
      StoreWords(line, address, n);
    }
  }

  void CommitTo(std::span<std::uint16_t> wordTarget, std::int32_t& wordCount, std::span<std::uint8_t> topTarget,
                std::int32_t& topCount, std::span<std::uint8_t> midTarget, std::int32_t& midCount) const {
    words_.CommitTo(wordTarget, wordCount);
    top_.CommitTo(topTarget, topCount);
    mid_.CommitTo(midTarget, midCount);
  }

  /// Hands the filled maps and the checksum findings over; the load is spent afterwards.
  HexLoadReport TakeReport() {
    report_.WordsFilled = std::move(words_.filled);
    report_.TopFilled = std::move(top_.filled);
    report_.MidFilled = std::move(mid_.filled);
    return std::move(report_);
  }

  bool TookData() const { return words_.any || top_.any || mid_.any; }

 private:
  void NoteChecksum(const RecordLine& line, std::uint32_t dataBytes) {
    if (ChecksumHolds(line.Text(1, std::string_view::npos), dataBytes)) return;
    if (report_.BadChecksums++ == 0) report_.FirstBadChecksumLine = line.LineNumber();
  }

  static void StoreBytes(const RecordLine& line, ScratchImage<std::uint8_t>& image, std::uint32_t address,
                         std::size_t index, std::uint32_t n) {
    if (index + n > image.data.size()) throw PinwrightError(texts::HexOutsideImage(line.LineNumber(), address));
    for (std::uint32_t j = 0; j < n; ++j) {
      image.Fill(index + j, static_cast<std::uint8_t>(line.Number(10 + 2 * j, 2)));
    }
    image.count = std::max(image.count, index + n);
  }

  void StoreWords(const RecordLine& line, std::uint32_t address, std::uint32_t n) {
    const std::size_t w = address / 2;
    const std::size_t m = n / 2;
    if (w + m > words_.data.size()) throw PinwrightError(texts::HexOutsideImage(line.LineNumber(), address));
    for (std::size_t i = 0; i < m; ++i) {
      const unsigned low = line.Number(10 + 4 * i, 2);
      const unsigned high = line.Number(12 + 4 * i, 2);
      words_.Fill(w + i, static_cast<std::uint16_t>(high * 256 + low));
    }
    words_.count = std::max(words_.count, w + m);
  }

  ScratchImage<std::uint16_t> words_;
  ScratchImage<std::uint8_t> top_;
  ScratchImage<std::uint8_t> mid_;
  std::uint32_t topStart_;
  std::uint32_t midStart_;
  std::uint32_t base_ = 0;
  HexLoadReport report_;
};

/// Calls lineFn for every line; CR LF, LF and a lone CR each end a line.
template <typename Fn>
void ForEachLine(std::string_view text, Fn&& lineFn) {
  long number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    lineFn(RecordLine(text.substr(0, end), ++number));
    std::size_t next = end;
    if (next < text.size()) next += text.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    text.remove_prefix(next);
  }
}

}  // namespace

bool IsPresentFile(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::exists(file, ec) && !std::filesystem::is_directory(file, ec);
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::uint16_t HexToWord(std::string_view text) {
  std::uint16_t value = 0;
  for (const char c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0) throw PinwrightError(texts::kBadHexNumber);
    value = static_cast<std::uint16_t>(value * 16 + digit);
  }
  return value;
}

HexLoadReport LoadHexText(std::string_view text, const std::string& name, std::span<std::uint16_t> wordTarget,
                          std::int32_t& wordCount, std::span<std::uint8_t> topTarget, std::int32_t& topCount,
                          std::uint32_t topStart, std::span<std::uint8_t> midTarget, std::int32_t& midCount,
                          std::uint32_t midStart) {
  HexLoad load(wordTarget.size(), topTarget.size(), topStart, midTarget.size(), midStart);
  ForEachLine(text, [&](const RecordLine& line) { load.Read(line); });
  if (!load.TookData()) throw PinwrightError(texts::HexNoData(name));
  load.CommitTo(wordTarget, wordCount, topTarget, topCount, midTarget, midCount);
  return load.TakeReport();
}

HexLoadReport LoadHexFile(const std::filesystem::path& fileName, std::span<std::uint16_t> wordTarget,
                          std::int32_t& wordCount, std::span<std::uint8_t> topTarget, std::int32_t& topCount,
                          std::uint32_t topStart, std::span<std::uint8_t> midTarget, std::int32_t& midCount,
                          std::uint32_t midStart) {
  if (!IsPresentFile(fileName)) throw PinwrightError(texts::kFileNotFound);
  const std::string text = ReadRegularFile(fileName, kHexFileLimit);
  return LoadHexText(text, fileName.string(), wordTarget, wordCount, topTarget, topCount, topStart, midTarget, midCount,
                     midStart);
}

}  // namespace pw
