#include "frame/ImageDifferences.h"

#include "common/HexDigits.h"
#include "frame/OperationRun.h"

namespace pw {

void ImageDifferences::Add(std::uint32_t address, std::uint32_t expected, std::uint32_t read) {
  ++count_;
  if (first_.size() < kShown) first_.push_back({address, expected, read});
}

template <typename T>
void ImageDifferences::CompareElements(std::span<const T> image, const std::vector<bool>& filled, std::uint32_t first,
                                       std::span<const T> read) {
  for (std::size_t i = 0; i < read.size(); ++i) {
    const std::size_t at = first + i;
    if (at >= image.size() || at >= filled.size()) return;
    if (filled[at] && image[at] != read[i]) Add(static_cast<std::uint32_t>(at), image[at], read[i]);
  }
}

void ImageDifferences::Compare(std::span<const std::uint8_t> image, const std::vector<bool>& filled,
                               std::uint32_t first, std::span<const std::uint8_t> read) {
  CompareElements(image, filled, first, read);
}

void ImageDifferences::Compare(std::span<const std::uint16_t> image, const std::vector<bool>& filled,
                               std::uint32_t first, std::span<const std::uint16_t> read) {
  CompareElements(image, filled, first, read);
}

std::vector<std::string> ImageDifferences::Lines(const std::string& unit, int digits) const {
  std::vector<std::string> lines;
  for (const ImageDifference& d : first_) {
    // Four digits as a rule; more where the memory is larger, so an address is never cut short.
    const int addressDigits = d.Address > 0xFFFFFF ? 8 : d.Address > 0xFFFF ? 6 : 4;
    lines.push_back(unit + " 0x" + HexDigits(d.Address, addressDigits) + ": ожидалось " +
                    HexDigits(d.Expected, digits) + ", прочитано " + HexDigits(d.Read, digits));
  }
  if (count_ > 0) lines.push_back("Всего различий: " + std::to_string(count_));
  return lines;
}

void LogDifferences(OperationRun& run, const ImageDifferences& differences, const std::string& unit, int digits,
                    bool counted) {
  std::vector<std::string> lines = differences.Lines(unit, digits);
  if (!counted && !lines.empty()) lines.pop_back();
  for (const std::string& line : lines) run.LogFault(line);
}

bool ReportDifferences(OperationRun& run, const ImageDifferences& differences, const std::string& same,
                       const std::string& differ, const std::string& unit, int digits) {
  if (differences.Count() == 0) {
    run.Log(same);
    return true;
  }
  run.LogFault(differ);
  LogDifferences(run, differences, unit, digits);
  run.MarkTargetFailed();
  return false;
}

}  // namespace pw
