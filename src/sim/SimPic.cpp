#include "sim/SimPic.h"

#include <algorithm>
#include <utility>

namespace pw::sim {
namespace {

/// Configuration words an erase may take (0x2000 to 0x2007); 0x2008 is never one of them here.
constexpr std::uint32_t kConfigWords = 8;
/// The 12F683 family's read-only calibration word.
constexpr std::uint32_t kCalibration2008 = 0x2008;

}  // namespace

SimPic::SimPic(const SimPicPart& part) : part_(part), times_(TimesOf(part.Family)) {
  memory_.assign(DataOffset() + part_.DataBytes, 0xFF);
  latches_.assign(LatchWords(), 0x3FFF);
  SetFactoryCalibration();
}

void SimPic::SetFactoryCalibration() {
  if (Baseline()) {
    // The last program word and its backup after the four IDs.
    SetProgramWord(part_.ProgramWords - 1, kFactoryOsccal);
    SetProgramWord(part_.ProgramWords + 4, kFactoryOsccal);
  }
  if (BandGapBits(part_.Family) != 0) {
    SetProgramWord(part_.ProgramWords - 1, kFactoryRetlwOsccal);
    SetConfigWord(7, kFactoryConfigWithBandGap);
  }
  if (CalibrationAt2008(part_.Family)) SetWord(*Locate(kCalibration2008), kFactoryCalibrationWord);
  if (part_.Family == SimPicFamily::F88x) SetConfigWord(kCalibrationWord - kConfigBase, kFactoryCalibration);
}

std::uint16_t SimPic::Word(std::uint32_t offset) const {
  return static_cast<std::uint16_t>(memory_[offset] | (memory_[offset + 1] << 8));
}

void SimPic::SetWord(std::uint32_t offset, std::uint16_t value) {
  memory_[offset] = static_cast<std::uint8_t>(value & 0xFF);
  memory_[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::optional<std::uint32_t> SimPic::Locate(std::uint32_t pc) const {
  if (Baseline()) return pc < CounterWords() ? std::optional<std::uint32_t>(pc * 2) : std::nullopt;
  if (pc < kConfigBase) return (pc % part_.ProgramWords) * 2;  // upper counter bits are not decoded
  if (pc < kConfigBase + ConfigWordsKept()) return (part_.ProgramWords + pc - kConfigBase) * 2;
  return std::nullopt;
}

std::uint16_t SimPic::ProgramWord(std::uint32_t w) const { return Word(*Locate(w)); }
void SimPic::SetProgramWord(std::uint32_t w, std::uint16_t value) { SetWord(*Locate(w), value); }

std::uint16_t SimPic::ConfigWord(std::uint32_t i) const {
  if (Baseline()) return Word((i == 7 ? ConfigAddress() : part_.ProgramWords + i) * 2);
  return Word(*Locate(kConfigBase + i));
}

void SimPic::SetConfigWord(std::uint32_t i, std::uint16_t value) {
  if (Baseline()) {
    SetWord((i == 7 ? ConfigAddress() : part_.ProgramWords + i) * 2, value);
  } else {
    SetWord(*Locate(kConfigBase + i), value);
  }
}

std::uint8_t SimPic::DataByte(std::uint32_t k) const { return memory_[DataOffset() + k]; }

void SimPic::SetDataByte(std::uint32_t k, std::uint8_t value) { memory_[DataOffset() + k] = value; }

bool SimPic::CodeProtected() const {
  const std::uint16_t bits = CodeProtectBits(part_.Family);
  return (ConfigWord(7) & bits) != bits;
}

bool SimPic::DataProtected() const {
  const std::uint16_t bits = DataProtectBits(part_.Family);
  return bits != 0 && (ConfigWord(7) & bits) != bits;
}

void SimPic::PowerOff() {
  programming_ = false;
  entry_.PowerOff();
  openCycle_.reset();
}

std::optional<bool> SimPic::Step(bool powered, bool vpp, bool pgc, bool pgd, const SimEnvironment& env) {
  const SimPicEntry::Change change = entry_.Sample(powered, vpp, pgc, pgd);
  if (change == SimPicEntry::Change::Off) {
    programming_ = false;
    openCycle_.reset();
  }
  if (change == SimPicEntry::Change::Enter) Enter(pgc);
  if (change != SimPicEntry::Change::Held || !programming_) return std::nullopt;
  const SimPicIcsp::Completed done = icsp_.Clock(pgc, pgd);
  if (done.What == SimPicIcsp::Completed::Command) Execute(done.Value, env);
  if (done.What == SimPicIcsp::Completed::Data) {
    if (!discardFrame_) Load(done.Value);
    discardFrame_ = false;
  }
  return icsp_.Drive();
}

void SimPic::Enter(bool pgc) {
  programming_ = true;
  pc_ = Baseline() ? ConfigAddress() : 0;
  icsp_.Reset(pgc);
  awaiting_.reset();
  discardFrame_ = false;
  programLatch_ = WordMask();
  dataLatch_ = 0xFF;
  latches_.assign(LatchWords(), 0x3FFF);
  bulkArmed_ = 0;
  clearStep_ = 0;
  openCycle_.reset();
}

void SimPic::Busy(const SimEnvironment& env, std::uint64_t micros) {
  if (env.Timing == TimingModel::Datasheet) busyUntil_ = env.Now + micros * kPicosPerMicro;
}

void SimPic::ExecuteBusy(int cmd) {
  // Framed as usual so that the bits that follow keep their meaning, but nothing is done.
  if (!Understands(part_.Family, cmd)) return;
  if (cmd == 0 || cmd == 2 || cmd == 3) {
    discardFrame_ = true;
    icsp_.ExpectData();
  } else if (cmd == 4 || cmd == 5) {
    icsp_.SendWord(std::nullopt);
  }
}

void SimPic::Execute(int cmd, const SimEnvironment& env) {
  if (env.Now < busyUntil_) return ExecuteBusy(cmd);
  if (!Understands(part_.Family, cmd)) {
    ++ununderstood_;
    return;
  }
  if (openCycle_ && cmd != EndCommand()) {
    openCycle_.reset();  // a cycle left without its end command writes nothing
    latches_.assign(LatchWords(), 0x3FFF);
  }
  // An armed bulk erase and the protection clearing go on only with the very next command.
  const int armed = std::exchange(bulkArmed_, 0);
  const int clearStep = std::exchange(clearStep_, 0);
  if (Transfer(cmd)) return;
  if (ProgramsOnly(part_.Family)) return ProgramOnlyCommand(cmd, env);
  Program(cmd, armed, clearStep, env);
}

bool SimPic::Transfer(int cmd) {
  switch (cmd) {
    case 0:
      pc_ = kConfigBase;
      [[fallthrough]];
    case 2:
      awaiting_ = Target::Program;
      icsp_.ExpectData();
      return true;
    case 3:
      awaiting_ = Target::Data;
      icsp_.ExpectData();
      return true;
    case 4:
      icsp_.SendWord(ReadProgram());
      return true;
    case 5:
      icsp_.SendWord(ReadData());
      return true;
    case 6:
      Increment();
      return true;
    default:
      return false;
  }
}

void SimPic::Program(int cmd, int armed, int clearStep, const SimEnvironment& env) {
  switch (cmd) {
    case 1:
      clearStep_ = 1;
      return;
    case 7:
      clearStep_ = clearStep == 1 ? 2 : 0;
      return;
    case 8:
      return BeginProgramming(armed, clearStep, env);
    case 9:
    case 11:
      return BulkErase(cmd, env);
    case 24:
      return BeginProgrammingOnly(env);
    case 10:
    case 14:
    case 23:
      return EndProgramming(env);
    case 17:
      return RowErase(env);
    case 31:
      EraseAll();
      return Busy(env, times_.Erase);
    default:
      return;
  }
}

void SimPic::BeginProgramming(int armed, int clearStep, const SimEnvironment& env) {
  if (Baseline()) {
    openCycle_ = env.Now;
  } else if (armed != 0) {
    if (armed == 9 && !CodeProtected()) EraseProgramMemory(pc_ >= kConfigBase);
    if (armed == 11) EraseDataMemory();
    Busy(env, times_.Erase);
  } else if (clearStep == 2 && pc_ == 0x2007) {
    EraseAll();
    Busy(env, times_.Erase);
  } else {
    EraseProgram(env);
  }
}

void SimPic::BulkErase(int cmd, const SimEnvironment& env) {
  if (part_.Family == SimPicFamily::F84A) {
    bulkArmed_ = cmd;  // carried out by the next command 8
    return;
  }
  if (cmd == 11) {
    EraseDataMemory();
  } else if (Baseline()) {
    EraseProgramMemory(pc_ >= part_.ProgramWords && pc_ < ConfigAddress());
  } else if (part_.Family == SimPicFamily::F62xA) {
    EraseProgramMemory(pc_ >= kConfigBase);
  } else if (LatchWords() > 0 && part_.Family != SimPicFamily::F87xA) {
    LatchedBulkErase();
  } else if (!CodeProtected()) {
    EraseProgramMemory(false);
  }
  Busy(env, times_.Erase);
}

void SimPic::BeginProgrammingOnly(const SimEnvironment& env) {
  if (LatchWords() > 0) {
    openCycle_ = env.Now;
    return;
  }
  WriteAtCounter(loaded_ == Target::Data ? dataLatch_ : programLatch_, false);
  Busy(env, times_.ProgramOnly);
}

void SimPic::Load(std::uint16_t value) {
  if (!awaiting_) return;
  loaded_ = *awaiting_;
  awaiting_.reset();
  if (loaded_ == Target::Data) {
    dataLatch_ = static_cast<std::uint8_t>(value & 0xFF);
  } else if (LatchWords() > 0 && pc_ < kConfigBase) {
    latches_[pc_ % LatchWords()] = value & 0x3FFF;
  } else {
    programLatch_ = value & WordMask();
  }
}

void SimPic::Increment() {
  if (Baseline()) {
    pc_ = (pc_ + 1) % CounterWords();
  } else if (pc_ < kConfigBase) {
    pc_ = (pc_ + 1) & 0x1FFF;
  } else {
    pc_ = kConfigBase + ((pc_ + 1 - kConfigBase) & 0x1FFF);
  }
}

std::uint16_t SimPic::ReadProgram() const {
  const std::uint16_t mask = WordMask();
  if (pc_ == ConfigAddress() ||
      (!CalibrationAt2008(part_.Family) && ConfigWordsKept() > 8 && pc_ == ConfigAddress() + 1)) {
    // Bits that do not exist read 1; the second word exists only where the part gives it bits.
    const bool second = pc_ != ConfigAddress();
    const std::uint16_t bits = second ? part_.Config2Bits : ConfigBits(part_.Family);
    return static_cast<std::uint16_t>(((ConfigWord(second ? 8 : 7) & bits) | ~bits) & mask);
  }
  if (!InConfigSpace()) return CodeProtected() ? 0 : static_cast<std::uint16_t>(ProgramWord(pc_) & mask);
  if (!Baseline() && pc_ == kDeviceIdWord) return part_.DeviceId;
  const auto at = Locate(pc_);
  return at ? static_cast<std::uint16_t>(Word(*at) & mask) : mask;
}

std::uint16_t SimPic::ReadData() const {
  if (part_.DataBytes == 0 || DataProtected()) return 0;
  return DataByte(pc_ % part_.DataBytes);
}

void SimPic::EraseProgram(const SimEnvironment& env) {
  if (loaded_ == Target::Data) {
    WriteAtCounter(dataLatch_, true);
    Busy(env, times_.Data);
    return;
  }
  // The 16F88x's internally timed cycle programs only: the words must be erased before.
  const bool eraseFirst = part_.Family != SimPicFamily::F88x;
  if (LatchWords() > 0 && pc_ < kConfigBase) {
    WriteLatchBlock(eraseFirst);
  } else {
    WriteAtCounter(programLatch_, eraseFirst);
  }
  Busy(env, times_.Program);
}

void SimPic::WriteAtCounter(std::uint16_t value, bool eraseFirst) {
  if (loaded_ == Target::Data) {
    if (part_.DataBytes == 0 || DataProtected()) return;
    std::uint8_t& cell = memory_[DataOffset() + pc_ % part_.DataBytes];
    cell = eraseFirst ? static_cast<std::uint8_t>(value) : static_cast<std::uint8_t>(cell & value);
    return;
  }
  const auto at = Locate(pc_);
  if (!at || (!Baseline() && (pc_ == kDeviceIdWord || pc_ == kCalibrationWord))) return;
  if (!InConfigSpace() && CodeProtected()) return;
  const std::uint16_t old = Word(*at);
  std::uint16_t next = eraseFirst ? value : static_cast<std::uint16_t>(old & value);
  if (pc_ == ConfigAddress()) {
    // Protection bits are only lifted by an erase.
    const std::uint16_t guard =
        static_cast<std::uint16_t>(CodeProtectBits(part_.Family) | DataProtectBits(part_.Family));
    next = static_cast<std::uint16_t>(next & (old | ~guard));
  }
  SetWord(*at, static_cast<std::uint16_t>(next & WordMask()));
}

void SimPic::WriteLatchBlock(bool eraseFirst) {
  if (!CodeProtected()) {
    const std::uint32_t block = pc_ - pc_ % LatchWords();
    for (std::uint32_t i = 0; i < LatchWords(); ++i) {
      const std::uint32_t at = *Locate(block + i);
      SetWord(at, eraseFirst ? latches_[i] : static_cast<std::uint16_t>(Word(at) & latches_[i]));
    }
  }
  latches_.assign(LatchWords(), 0x3FFF);
}

void SimPic::EraseProgramMemory(bool withConfig) {
  const std::uint16_t blank = WordMask();
  for (std::uint32_t w = 0; w < part_.ProgramWords; ++w) SetWord(w * 2, blank);
  if (Baseline()) {
    SetConfigWord(7, blank);
    // From the ID region the erase also takes the IDs and the backup calibration word.
    if (withConfig) {
      for (std::uint32_t w = part_.ProgramWords; w < CounterWords(); ++w) SetWord(w * 2, blank);
    }
  } else if (withConfig) {
    // The calibration words behind the configuration words stay (0x2008 on the 12F683 family).
    const std::uint32_t words =
        CalibrationAt2008(part_.Family) ? kConfigWords : std::min<std::uint32_t>(ConfigWordsKept(), 9);
    for (std::uint32_t i = 0; i < words; ++i) SetConfigWord(i, blank);
  }
}

void SimPic::EraseDataMemory() {
  for (std::uint32_t k = 0; k < part_.DataBytes; ++k) {
    memory_[DataOffset() + k] = 0xFF;
  }
}

void SimPic::EraseAll() {
  EraseProgramMemory(true);
  EraseDataMemory();
}

void SimPic::EndProgramming(const SimEnvironment& env) {
  if (!openCycle_) return;
  const std::uint64_t need = Baseline() ? times_.Program : times_.ProgramOnly;
  const bool inTime = env.Timing != TimingModel::Datasheet || env.Now - *openCycle_ >= need * kPicosPerMicro;
  openCycle_.reset();
  // The 16F88x's externally timed cycle does not program configuration memory.
  const bool refused = part_.Family == SimPicFamily::F88x && pc_ >= kConfigBase;
  if (!inTime || refused) {
    latches_.assign(LatchWords(), 0x3FFF);
    return;
  }
  if (LatchWords() > 0 && loaded_ == Target::Program && pc_ < kConfigBase) {
    WriteLatchBlock(false);
  } else {
    WriteAtCounter(loaded_ == Target::Data ? dataLatch_ : programLatch_, false);
  }
}

}  // namespace pw::sim
