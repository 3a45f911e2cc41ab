// The program-only families (12F629/675, 16F630/676; 12F683, 16F684/688, 16F631-690; 16F72-77):
// a programming cycle only clears bits, so program memory takes a word only after an erase, and
// the write latches go back to 0x3FFF after every cycle. Data memory erases itself before a write.

#include "sim/SimPic.h"

namespace pw::sim {
void SimPic::ProgramOnlyCommand(int cmd, const SimEnvironment& env) {
  switch (cmd) {
    case 8:
      // Externally timed on the 16F7x: the host ends it with 14 after the programming time.
      if (part_.Family == SimPicFamily::F7x) {
        openCycle_ = env.Now;
        return;
      }
      ProgramLatched();
      return Busy(env, loaded_ == Target::Data ? times_.Data : times_.Program);
    case 24:
      openCycle_ = env.Now;
      return;
    case 10:
    case 14:
      return EndLatchedCycle(env);
    case 9:
      BulkEraseProgramOnly();
      return Busy(env, times_.Erase);
    case 11:
      if (!DataProtected()) EraseDataMemory();
      return Busy(env, times_.Erase);
    case 17:
      return RowErase(env);
    default:
      return;
  }
}

void SimPic::EndLatchedCycle(const SimEnvironment& env) {
  if (!openCycle_) return;
  const std::uint64_t need = part_.Family == SimPicFamily::F7x ? times_.Program : times_.ProgramOnly;
  const bool inTime = env.Timing != TimingModel::Datasheet || env.Now - *openCycle_ >= need * kPicosPerMicro;
  openCycle_.reset();
  if (inTime) {
    ProgramLatched();
  } else {
    latches_.assign(latches_.size(), 0x3FFF);
  }
}

void SimPic::ProgramLatched() {
  if (loaded_ == Target::Data) return WriteAtCounter(dataLatch_, true);
  if (pc_ >= kConfigBase) return WriteAtCounter(programLatch_, false);
  const std::uint32_t n = LatchWords();
  if (!CodeProtected()) {
    const std::uint32_t block = pc_ - pc_ % n;
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint32_t at = *Locate(block + i);
      SetWord(at, static_cast<std::uint16_t>(Word(at) & latches_[i]));
    }
  }
  latches_.assign(latches_.size(), 0x3FFF);
}

void SimPic::BulkEraseProgramOnly() {
  if (pc_ >= kConfigBase) {
    EraseProgramMemory(true);
  } else if (!CodeProtected()) {
    EraseProgramMemory(false);
  }
}

}  // namespace pw::sim
