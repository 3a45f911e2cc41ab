// What the factory leaves on a chip and an erase or a file would destroy: the band-gap bits of
// the configuration word and the oscillator calibration word in program memory.

#include "pic/PicOperations.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// The configuration word 0x2007 in the area.
constexpr std::size_t kConfigWord = 7;

}  // namespace

PicConfigArea PicOperations::KeepingBandGap(const PicConfigArea& area) {
  if (type_.BandGap == 0) return area;
  const auto mask = static_cast<std::uint16_t>(type_.BandGap);
  const std::uint16_t chip = PicAreaWord(ReadConfigArea(), kConfigWord);
  const auto word = static_cast<std::uint16_t>((PicAreaWord(area, kConfigWord) & ~mask) | (chip & mask));
  PicConfigArea kept = area;
  kept[2 * kConfigWord] = static_cast<std::uint8_t>(word & 0xFF);
  kept[2 * kConfigWord + 1] = static_cast<std::uint8_t>(word >> 8);
  return kept;
}

bool PicOperations::BandGapKept(OperationRun& run, const PicConfigArea& kept) {
  if (type_.BandGap == 0) return true;
  const std::uint16_t chip = PicAreaWord(ReadConfigArea(), kConfigWord);
  if (((chip ^ PicAreaWord(kept, kConfigWord)) & type_.BandGap) == 0) return true;
  run.TargetFailed(texts::kPicCalibrationLost);
  return false;
}

std::optional<std::uint16_t> PicOperations::OsccalBeforeErase() {
  if (type_.Osccal == 0) return std::nullopt;
  const std::uint16_t word =
      utils_.PicReadCalibration(type_.EnterType, type_.ProgrammType, static_cast<std::uint16_t>(type_.Osccal));
  if (!PicIsCalibration(type_.ProgrammType, word)) return std::nullopt;
  return word;
}

void PicOperations::RestoreOsccal(OperationRun& run, std::optional<std::uint16_t> word) {
  if (type_.Osccal == 0) return;
  if (!word) return run.TargetFailed(texts::kPicCalibrationUnread);
  const auto at = static_cast<std::uint16_t>(type_.Osccal);
  if (!utils_.PicWriteCalibration(type_.EnterType, type_.ProgrammType, at, *word, WaitCount(type_.OneWordCycleMs()))) {
    run.TargetFailed(texts::kPicCalibrationLost);
  }
}

std::vector<std::uint16_t> PicOperations::KeepingOsccal(OperationRun& run, ImageData<std::uint16_t> image,
                                                        std::int32_t n) {
  std::vector<std::uint16_t> words(image.Values.begin(), image.Values.end());
  const std::int32_t at = type_.Osccal;
  if (at == 0 || at >= n) return words;
  auto& word = words[static_cast<std::size_t>(at)];
  if (PicIsCalibration(type_.ProgrammType, word)) return words;
  word = utils_.PicReadCalibration(type_.EnterType, type_.ProgrammType, static_cast<std::uint16_t>(at));
  run.Log(texts::kPicOsccalKept);
  return words;
}

}  // namespace pw
