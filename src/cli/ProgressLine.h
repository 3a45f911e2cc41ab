#pragma once
/// @file
/// The text of the progress line pinwright-cli shows on a terminal for each step of an
/// operation: its log line as the label, a bar, the percentage and the time the step has taken.

#include <chrono>
#include <cstdint>
#include <string>

namespace pw::cli {

/// Characters of the label column: longer labels are cut with "…", shorter ones padded.
inline constexpr std::size_t kProgressLabelWidth = 32;
/// Cells of the bar.
inline constexpr int kProgressBarCells = 24;

/// How far position stands from min to max, in whole percent (0..100); a bar without span
/// stands at 0 until its position reaches max.
int ProgressPercent(std::int64_t min, std::int64_t max, std::int64_t position);

/// "LABEL [#####-------] 42%  0:07": percent is clamped to 0..100, the elapsed time is
/// minutes:seconds (hours:minutes:seconds from an hour). UTF-8 labels are cut between characters.
std::string ProgressLine(const std::string& label, int percent, std::chrono::milliseconds elapsed);

}  // namespace pw::cli
