#include "cli/ProgressLine.h"

#include <algorithm>
#include <cstdio>

namespace pw::cli {
namespace {

bool StartsCharacter(unsigned char byte) { return (byte & 0xC0) != 0x80; }

/// label in exactly kProgressLabelWidth characters.
std::string LabelColumn(const std::string& label) {
  std::string column;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < label.size(); ++i) {
    const auto byte = static_cast<unsigned char>(label[i]);
    if (StartsCharacter(byte) && ++chars > kProgressLabelWidth) {
      // The last character gives way to the mark of the cut.
      std::size_t end = column.size();
      while (end > 0 && !StartsCharacter(static_cast<unsigned char>(column[--end]))) {
      }
      column.resize(end);
      return column + "…";
    }
    column += label[i];
  }
  return column + std::string(kProgressLabelWidth - chars, ' ');
}

std::string Elapsed(std::chrono::milliseconds elapsed) {
  const long long seconds = std::max<long long>(0, elapsed.count() / 1000);
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  }
  return text;
}

}  // namespace

int ProgressPercent(std::int64_t min, std::int64_t max, std::int64_t position) {
  if (max <= min) return position >= max ? 100 : 0;
  const std::int64_t done = std::clamp<std::int64_t>(position - min, 0, max - min);
  return static_cast<int>(done * 100 / (max - min));
}

std::string ProgressLine(const std::string& label, int percent, std::chrono::milliseconds elapsed) {
  percent = std::clamp(percent, 0, 100);
  const int filled = percent * kProgressBarCells / 100;
  char number[8];
  std::snprintf(number, sizeof number, "%3d%%", percent);
  return LabelColumn(label) + " [" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(kProgressBarCells - filled), '-') + "] " + number + "  " +
         Elapsed(elapsed);
}

}  // namespace pw::cli
