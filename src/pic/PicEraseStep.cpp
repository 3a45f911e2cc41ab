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
  const PicProgramming programming = type_.ProgrammType;
  // The bulk erase takes the factory calibration word and band-gap bits with it.
  const auto calibration = OsccalBeforeErase();
  const PicConfigArea kept = KeepingBandGap(area);
  PartialWrite partial(run.Out(), texts::kPicErase);
  partial.Begun();
  Enter(false);
  if (programming == PicProgramming::Baseline) {
    std::int32_t flag = 0;
    utils_.PicProgramOneWord(kErasedWord, flag, kWordMask, programming, 2, WaitCount(type_.OneWordCycleMs()));
  } else if (PicClearsProtection(type_.EraseType)) {
    ClearProtection();
  }
  // The PIC18 chip erase lifts protection itself.
  if (pic18_) {
    pic18_->BulkErase();
  } else {
    utils_.PicEraseChip(type_.EraseType, type_.EepromSize > 0, type_.EraseMs);
  }
  RestoreOsccal(run, calibration);
  // Before the configuration goes back: protection in it would make program memory read zeros.
  if (!ErasedBlank(run)) return;
  WriteConfigArea(run, kept);
  if (!BandGapKept(run, kept) || !ConfigTaken(run, kept)) return;
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
  utils_.PicPutDelay(WaitCount(type_.ProgramMs));
  utils_.PicPutCommand(1);
  utils_.PicPutCommand(7);
  utils_.PicFlush();
}

}  // namespace pw
