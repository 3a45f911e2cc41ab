// The F88 (16F87/88, 16F818/819) and F88x (16F882-887) families where they differ from the
// other mid-range parts: the configuration words kept, the latch, the end command, the
// read-only words and their erases.
#include "sim/SimPic.h"

namespace pw::sim {
namespace {

/// 0x2000 to 0x2007 on the older parts; to the calibration words 0x2009, 0x200A on the newer.
constexpr std::uint32_t kOlderConfigWords = 8;
constexpr std::uint32_t kNewerConfigWords = 11;

}  // namespace

std::uint32_t SimPic::ConfigWordsKept() const {
  const bool newer = part_.Family == SimPicFamily::F88 || part_.Family == SimPicFamily::F88x;
  if (newer) return kNewerConfigWords;
  return CalibrationAt2008(part_.Family) ? kOlderConfigWords + 1 : kOlderConfigWords;
}

std::uint32_t SimPic::LatchWords() const {
  return part_.LatchWords != 0 ? part_.LatchWords : sim::LatchWords(part_.Family);
}

int SimPic::EndCommand() const { return sim::EndCommand(part_.Family); }

bool SimPic::ReadOnly(std::uint32_t pc) const {
  if (Baseline()) return false;
  // The 16F88x's calibration words are trimmed at the factory and take no writes.
  if (CalibrationAt2008(part_.Family) && pc == kCalibrationWord - 1) return true;
  return pc == kDeviceIdWord || (part_.Family == SimPicFamily::F88x && pc >= kCalibrationWord);
}

void SimPic::LatchedBulkErase() {
  // From configuration space the erase takes the IDs and configuration words, and with them
  // the protection; from program memory it takes an unprotected program memory only.
  if (pc_ >= kConfigBase) {
    EraseProgramMemory(true);
  } else if (!CodeProtected()) {
    EraseProgramMemory(false);
  }
}

void SimPic::RowErase(const SimEnvironment& env) {
  const std::uint32_t row = RowWords(part_.Family);
  if (row == 0 || pc_ >= kConfigBase || CodeProtected()) return;
  const std::uint32_t first = pc_ - pc_ % row;
  for (std::uint32_t w = first; w < first + row; ++w) SetProgramWord(w, 0x3FFF);
  Busy(env, times_.Erase);
}

}  // namespace pw::sim
