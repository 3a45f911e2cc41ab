// The configuration area: "Считать фъюзы" and "Прошить фъюзы", and the configuration a dump and an
// erase read or write.

#include "frame/PartialWrite.h"
#include "pic/PicOperations.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

constexpr std::int32_t kWordMask = 0x3FFF;
/// Steps that take a baseline part's counter from word 0 round past the configuration word.
constexpr int kBaselineSteps = 512;
/// Steps from 0x2004 to the configuration word 0x2007.
constexpr int kStepsToConfigWord = 3;

}  // namespace

OperationStep PicOperations::ReadConfig() {
  return Step(nullptr, [this](OperationRun& run) {
    run.Log("чтение конфигурации");
    config_ = ReadConfigArea();
  });
}

OperationStep PicOperations::WriteConfig(const PicConfigArea& area) {
  return Step(nullptr, [this, area](OperationRun& run) {
    run.Log("запись конфигурации ");
    const PicConfigArea kept = KeepingBandGap(area);
    PartialWrite partial(run.Out(), texts::kPicWriteConfig);
    partial.Begun();
    WriteConfigArea(run, kept);
    if (!ConfigTaken(run, kept)) return;
    partial.Finished();
    run.Log(texts::kPicConfigWritten);
  });
}

std::uint16_t PicOperations::NamedBits(std::size_t word) const {
  // Only the bits the type names: the others are not implemented and read back as 1.
  std::uint16_t named = 0;
  for (std::size_t n = 0; n < 16; ++n) {
    if (type_.Named(16 * word + n)) named = static_cast<std::uint16_t>(named | (1u << n));
  }
  return named & PicWordMask(type_.ProgrammType);
}

std::vector<std::pair<std::size_t, std::uint16_t>> PicOperations::ConfigWordsChecked() const {
  // Baseline parts get their configuration word only; mid-range parts the four ID words too.
  if (type_.ProgrammType == PicProgramming::Baseline) return {{7, NamedBits(0)}};
  std::vector<std::pair<std::size_t, std::uint16_t>> words = {
      {0, kWordMask}, {1, kWordMask}, {2, kWordMask}, {3, kWordMask}, {7, NamedBits(0)}};
  // The second configuration word 0x2008, on types that name any of its bits.
  if (NamedBits(1) != 0) words.emplace_back(8, NamedBits(1));
  return words;
}

bool PicOperations::ConfigTaken(OperationRun& run, const PicConfigArea& area) {
  if (pic18_) return pic18_->ConfigTaken(run, area);
  const PicConfigArea back = ReadConfigArea();
  const std::uint16_t mask = PicWordMask(type_.ProgrammType);
  for (const auto& [k, bits] : ConfigWordsChecked()) {
    const std::uint16_t written = PicAreaWord(area, k);
    const std::uint16_t read = PicAreaWord(back, k);
    if (((written ^ read) & bits) == 0) continue;
    run.TargetFailed(texts::PicConfigNotTaken(k, written & mask, read & mask));
    return false;
  }
  return true;
}

PicConfigArea PicOperations::ReadConfigArea() {
  PicConfigArea area{};
  Enter(false);
  if (pic18_) return pic18_->ReadConfigArea();
  // Baseline parts have no Load Configuration: their word stands at the counter after entry.
  if (type_.ProgrammType == PicProgramming::Baseline) {
    utils_.PicReadBaselineConfig(static_cast<std::uint16_t>(type_.FlashSize), area);
  } else {
    utils_.PicReadConfigWords(area);
  }
  return area;
}

void PicOperations::WriteConfigArea(OperationRun& run, const PicConfigArea& area) {
  if (pic18_) {
    Enter(false);
    return pic18_->WriteConfigArea(area);
  }
  LogIgnoredConfigBits(run, area);
  const PicProgramming programming = type_.ProgrammType;
  const std::int32_t wait = WaitCount(type_.OneWordCycleMs());
  std::int32_t flag = 0;
  Enter(false);
  if (programming == PicProgramming::Baseline) {
    utils_.PicProgramOneWord(PicAreaWord(area, 7), flag, kWordMask, programming, 0, wait);
    for (int i = 0; i < kBaselineSteps; ++i) StepCounter();
    return;
  }
  utils_.PicProgramOneWord(PicAreaWord(area, 0), flag, kWordMask, programming, 0, wait);
  for (std::size_t k = 1; k <= 3; ++k)
    utils_.PicProgramOneWord(PicAreaWord(area, k), flag, kWordMask, programming, 2, wait);
  for (int i = 0; i < kStepsToConfigWord; ++i) StepCounter();
  utils_.PicProgramOneWord(PicAreaWord(area, 7), flag, kWordMask, programming, 2, wait);
  // Each word's cycle ends with an Increment: the counter stands at 0x2008.
  if (NamedBits(1) != 0) utils_.PicProgramOneWord(PicAreaWord(area, 8), flag, kWordMask, programming, 2, wait);
}

void PicOperations::LogIgnoredConfigBits(OperationRun& run, const PicConfigArea& area) {
  const std::uint16_t word = PicAreaWord(area, 7);
  std::string bits;
  for (int n = 0; n < PicWordBits(type_.ProgrammType); ++n) {
    // An absent bit reads as 1: only a 0 asks for something the chip cannot hold.
    if (!type_.Named(static_cast<std::size_t>(n)) && ((word >> n) & 1) == 0) bits += " " + std::to_string(n);
  }
  if (!bits.empty()) run.Log(texts::PicIgnoredConfigBits(bits));
}

}  // namespace pw
