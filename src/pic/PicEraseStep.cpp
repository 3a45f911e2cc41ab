// "Стереть чип": lifts code protection, erases program and data memory, keeps a factory
// calibration word, and writes the configuration back.

#include "frame/PartialWrite.h"
#include "pic/PicOperations.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

constexpr std::uint16_t kErasedWord = 0x3FFF;
constexpr std::int32_t kWordMask = 0x3FFF;
/// Steps from 0x2000 to the configuration word 0x2007.
constexpr int kStepsToConfigWord = 7;

}  // namespace

OperationStep PicOperations::Erase(const PicConfigArea& area) {
  return Step(nullptr, [this, area](OperationRun& run) { EraseChip(run, area); });
}

void PicOperations::EraseChip(OperationRun& run, const PicConfigArea& area) {
  const std::int32_t wait = WaitCount();
  const PicProgramming programming = type_.ProgrammType;
  const bool keepCalibration = type_.Osccal != 0;
  const auto osccal = static_cast<std::uint16_t>(type_.Osccal);
  // The bulk erase of a baseline part takes its factory calibration word with it.
  const auto calibration = keepCalibration ? utils_.PicReadCalibration(type_.EnterType, osccal) : 0;
  PartialWrite partial(run.Out(), texts::kPicEraseCaption);
  partial.Begun();
  Enter(false);
  if (programming == PicProgramming::Baseline) {
    std::int32_t flag = 0;
    utils_.PicProgramOneWord(kErasedWord, flag, kWordMask, programming, 2, wait);
  } else if (programming == PicProgramming::EraseProgram || programming == PicProgramming::ProgramOnly) {
    ClearProtection();
  }
  // The PIC18 chip erase lifts protection itself.
  pic18_ ? pic18_->BulkErase() : utils_.PicEraseChip(type_.EraseType);
  if (keepCalibration && !utils_.PicWriteCalibration(type_.EnterType, osccal, calibration, wait)) {
    run.TargetFailed(texts::kPicCalibrationLost);
  }
  // Before the configuration goes back: protection in it would make program memory read zeros.
  if (!ErasedBlank(run)) return;
  WriteConfigArea(run, area);
  if (!ConfigTaken(run, area)) return;
  partial.Finished();
  run.Log("флеш и еепром стёрты");
}

bool PicOperations::ErasedBlank(OperationRun& run) {
  const std::uint16_t mask = PicWordMask(type_.ProgrammType);
  const auto words = ReadProgramWords(run, type_.FlashSize);
  if (!words) return false;
  for (std::int32_t w = 0; w < type_.FlashSize; ++w) {
    const std::uint16_t word = (*words)[static_cast<std::size_t>(w)] & mask;
    if (word == mask || (type_.Osccal != 0 && w == type_.Osccal)) continue;
    run.TargetFailed(texts::PicNotBlank("флеш", w, word));
    return false;
  }
  const auto bytes = ReadDataLocations(type_.EepromSize);
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    if (bytes[k] == 0xFF) continue;
    run.TargetFailed(texts::PicNotBlank("еепром", static_cast<std::int32_t>(k), bytes[k]));
    return false;
  }
  return true;
}

void PicOperations::ClearProtection() {
  // The code-protection clearing sequence at the configuration word, three runs.
  utils_.PicPutCommand(0);
  utils_.PicPutIdle();
  utils_.PicPutDataWord(kErasedWord);
  utils_.PicPutIdle();
  utils_.PicFlush();
  for (int i = 0; i < kStepsToConfigWord; ++i) utils_.PicPutCommand(6);
  utils_.PicFlush();
  for (const int command : {1, 7, 8}) utils_.PicPutCommand(command);
  utils_.PicPutDelay(WaitCount());
  utils_.PicPutCommand(1);
  utils_.PicPutCommand(7);
  utils_.PicFlush();
}

}  // namespace pw
