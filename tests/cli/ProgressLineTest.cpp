#include <gtest/gtest.h>

#include "cli/ProgressLine.h"

namespace pw::cli {
namespace {

using std::chrono::milliseconds;

std::string Repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

TEST(ProgressLine, PercentFollowsTheBarWithinItsEnds) {
  struct Case {
    int Min, Max, Position, Percent;
  } cases[] = {
      {0, 200, 0, 0}, {0, 200, 100, 50}, {0, 200, 199, 99}, {0, 200, 200, 100}, {0, 200, 260, 100},
      {10, 20, 5, 0}, {10, 20, 15, 50},  {0, 0, 0, 100},    {5, 5, 4, 0},       {0, 2'000'000'000, 1'999'999'999, 99},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgressPercent(c.Min, c.Max, c.Position), c.Percent) << c.Min << ".." << c.Max << " at " << c.Position;
  }
}

TEST(ProgressLine, LineHasLabelColumnBarPercentAndElapsedTime) {
  struct Case {
    std::string Label;
    int Percent;
    milliseconds Elapsed;
    std::string Line;
  } cases[] = {
      {"шаг", 0, milliseconds(0), "шаг" + std::string(29, ' ') + " [------------------------]   0%  0:00"},
      {"шаг", 50, milliseconds(61'999), "шаг" + std::string(29, ' ') + " [############------------]  50%  1:01"},
      {"шаг", 100, milliseconds(3'600'000), "шаг" + std::string(29, ' ') + " [########################] 100%  1:00:00"},
      {"шаг", 140, milliseconds(-5), "шаг" + std::string(29, ' ') + " [########################] 100%  0:00"},
      {"step", -3, milliseconds(9'000), "step" + std::string(28, ' ') + " [------------------------]   0%  0:09"},
      // 40 Cyrillic letters: cut between characters, 31 kept and the mark of the cut.
      {Repeat("ж", 40), 4, milliseconds(1'000), Repeat("ж", 31) + "… [------------------------]   4%  0:01"},
      {Repeat("ж", 32), 4, milliseconds(1'000), Repeat("ж", 32) + " [------------------------]   4%  0:01"},
      {"", 25, milliseconds(0), std::string(32, ' ') + " [######------------------]  25%  0:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressLine(c.Label, c.Percent, c.Elapsed), c.Line) << c.Label;
}

}  // namespace
}  // namespace pw::cli
