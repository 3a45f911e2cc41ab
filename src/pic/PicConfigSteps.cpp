// The configuration area: "Считать фъюзы" and "Прошить фъюзы", and the configuration a dump and an
// erase read or write.

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
    WriteConfigArea(run, area);
  });
}

PicConfigArea PicOperations::ReadConfigArea() {
  PicConfigArea area{};
  Enter(false);
  // Baseline parts have no Load Configuration: their word stands at the counter after entry.
  if (type_.ProgrammType == PicProgramming::Baseline) {
    utils_.PicReadBaselineConfig(static_cast<std::uint16_t>(type_.FlashSize), area);
  } else {
    utils_.PicReadConfigWords(area);
  }
  return area;
}

void PicOperations::WriteConfigArea(OperationRun& run, const PicConfigArea& area) {
  LogIgnoredConfigBits(run, area);
  const PicProgramming programming = type_.ProgrammType;
  const std::int32_t wait = WaitCount();
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
