#pragma once
/// @file
/// Comparing an image loaded from a file with what a chip holds, for verifies without writing.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pw {

class OperationRun;

/// One element that differs: its address (in elements: bytes or words) and both values.
struct ImageDifference {
  std::uint32_t Address = 0;
  std::uint32_t Expected = 0;
  std::uint32_t Read = 0;
};

/// The first differences found and how many there were in all.
class ImageDifferences {
 public:
  /// How many differences are kept for the log.
  static constexpr std::size_t kShown = 10;

  void Add(std::uint32_t address, std::uint32_t expected, std::uint32_t read);
  /// Compares read (the chip's elements from address first) with image[first ..] where filled
  /// says the file held the element; the others are not compared. Elements past the end of
  /// image or filled are not compared either.
  void Compare(std::span<const std::uint8_t> image, const std::vector<bool>& filled, std::uint32_t first,
               std::span<const std::uint8_t> read);
  void Compare(std::span<const std::uint16_t> image, const std::vector<bool>& filled, std::uint32_t first,
               std::span<const std::uint16_t> read);

  std::size_t Count() const { return count_; }
  const std::vector<ImageDifference>& First() const { return first_; }
  /// The log lines: one per kept difference ("байт 0x0010: ожидалось 12, прочитано FF", with
  /// unit naming the element and digits hex digits a value), then, when there was any, one
  /// line with the count.
  std::vector<std::string> Lines(const std::string& unit, int digits) const;

 private:
  template <typename T>
  void CompareElements(std::span<const T> image, const std::vector<bool>& filled, std::uint32_t first,
                       std::span<const T> read);

  std::vector<ImageDifference> first_;
  std::size_t count_ = 0;
};

/// Logs the kept differences and, when counted, their count as fault lines (OperationRun::LogFault):
/// a verify and the verify after a write show them alike. A compare that stopped at the first
/// difference is not counted: it knows no total.
void LogDifferences(OperationRun& run, const ImageDifferences& differences, const std::string& unit, int digits,
                    bool counted = true);

/// Logs same, or differ with the first differences and their count (a target failure); unit
/// names an element, digits the hex digits of a value. True when nothing differs.
bool ReportDifferences(OperationRun& run, const ImageDifferences& differences, const std::string& same,
                       const std::string& differ, const std::string& unit, int digits);

}  // namespace pw
