// "pic TYPE verify FILE": program memory, data memory and configuration compared with a file,
// and the whole-area reads the verify and the erase's blank check share.

#include <algorithm>
#include <span>

#include "frame/ImageDifferences.h"
#include "frame/Texts.h"
#include "pic/PicOperations.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// A configuration word the file does not hold: the loader leaves 0xFF in both its bytes.
constexpr std::uint16_t kAbsentWord = 0xFFFF;

/// Values masked with mask, and the filled marks beside them, of elements first, first + step, ...
template <typename T>
std::pair<std::vector<T>, std::vector<bool>> Picked(ImageData<T> image, std::int32_t n, std::size_t step, T mask) {
  std::pair<std::vector<T>, std::vector<bool>> picked;
  for (std::size_t k = 0; k < static_cast<std::size_t>(n); ++k) {
    picked.first.push_back(static_cast<T>(image.Values[k * step] & mask));
    picked.second.push_back(image.Holds(k * step));
  }
  return picked;
}

}  // namespace

std::optional<std::vector<std::uint16_t>> PicOperations::ReadProgramWords(OperationRun& run, std::int32_t n) {
  std::vector<std::uint16_t> words(static_cast<std::size_t>(n));
  Enter(true);
  for (std::int32_t read = 0; read < n;) {
    if (read > 0 && run.StopRequested(texts::Undone(read, n, "слов проверки флеши"))) return std::nullopt;
    const std::int32_t count = std::min(kBlockWords, n - read);
    const auto destination = std::span(words).subspan(static_cast<std::size_t>(read));
    if (pic18_) {
      pic18_->ReadProgram(read, destination.first(static_cast<std::size_t>(count)));
    } else {
      utils_.PicReadProgramWords(static_cast<std::uint16_t>(count), destination);
    }
    read += count;
    run.Progress(read);
  }
  return words;
}

std::vector<std::uint8_t> PicOperations::ReadDataLocations(std::int32_t n) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
  Enter(false);
  if (pic18_) {
    pic18_->ReadData(bytes);
  } else {
    utils_.PicReadDataBytes(static_cast<std::uint16_t>(n), bytes);
  }
  return bytes;
}

OperationStep PicOperations::Verify(ImageData<std::uint16_t> program, ImageData<std::uint8_t> data,
                                    const PicConfigArea& area) {
  return Step(
      [this, program, data, area]() -> Refusal {
        if (program.Count > 0 || data.Count > 0) return CheckImages(program.Count, data.Count);
        const bool config = std::any_of(area.begin(), area.end(), [](std::uint8_t b) { return b != 0xFF; });
        return config ? Refusal() : Refusal(texts::kNothingToVerify);
      },
      [this, program, data, area](OperationRun& run) { VerifyChip(run, program, data, area); });
}

void PicOperations::VerifyChip(OperationRun& run, ImageData<std::uint16_t> program, ImageData<std::uint8_t> data,
                               const PicConfigArea& area) {
  run.Log("проверка");
  run.StartProgress(program.Count);
  if (program.Count > 0) {
    const auto words = ReadProgramWords(run, program.Count);
    if (!words) return;
    const auto [expected, filled] = Picked(program, program.Count, 1, PicWordMask(type_.ProgrammType));
    ImageDifferences differences;
    differences.Compare(expected, filled, 0, *words);
    ReportDifferences(run, differences, texts::kPicFlashSame, texts::kPicFlashDiffers, "слово", 4);
  }
  const std::int32_t locations = (data.Count + 1) / 2;
  if (locations > 0) {
    const auto [expected, filled] = Picked(data, locations, 2, std::uint8_t{0xFF});
    ImageDifferences differences;
    differences.Compare(expected, filled, 0, ReadDataLocations(locations));
    ReportDifferences(run, differences, texts::kPicDataSame, texts::kPicDataDiffers, "байт", 2);
  }
  VerifyConfig(run, area);
}

void PicOperations::VerifyConfig(OperationRun& run, const PicConfigArea& area) {
  if (pic18_) {
    Enter(false);
    return pic18_->VerifyConfig(run, area);
  }
  const PicConfigArea chip = ReadConfigArea();
  ImageDifferences differences;
  bool compared = false;
  for (const auto& [k, bits] : ConfigWordsChecked()) {
    const std::uint16_t wanted = PicAreaWord(area, k);
    if (wanted == kAbsentWord) continue;
    compared = true;
    const std::uint16_t read = PicAreaWord(chip, k);
    if (((wanted ^ read) & bits) != 0)
      differences.Add(static_cast<std::uint32_t>(0x2000 + k), wanted & bits, read & bits);
  }
  if (compared) ReportDifferences(run, differences, texts::kPicConfigSame, texts::kPicConfigDiffers, "слово", 4);
}

}  // namespace pw
