#include "sim/SimPic18.h"

namespace pw::sim {
namespace {

enum Command {
  kCore = 0b0000,
  kShiftOutTablat = 0b0010,
  kTableRead = 0b1000,
  kTableReadPostInc = 0b1001,
  kTableReadPostDec = 0b1010,
  kTableReadPreInc = 0b1011,
  kTableWrite = 0b1100,
  kTableWritePostInc2 = 0b1101,
  kTableWritePostInc2Program = 0b1110,
  kTableWriteProgram = 0b1111,
};

constexpr std::uint32_t kEraseKeyHigh = 0x3C0005;
constexpr std::uint32_t kEraseKeyLow = 0x3C0004;

bool Elapsed(const SimEnvironment& env, SimTime since, std::uint64_t micros) {
  return env.Timing != TimingModel::Datasheet || env.Now - since >= micros * kPicosPerMicro;
}

}  // namespace

SimPic18::SimPic18(const SimPic18Part& part) : part_(part), memory_(part) {}

void SimPic18::PowerOff() {
  entry_.PowerOff();
  Leave();
}

void SimPic18::Leave() {
  programming_ = false;
  armed_.reset();
  cycleStart_.reset();
  erase_ = EraseStep::None;
  memory_.DropBuffer();
}

std::optional<bool> SimPic18::Step(bool powered, bool vpp, bool pgc, bool pgd, const SimEnvironment& env) {
  const SimPicEntry::Change change = entry_.Sample(powered, vpp, pgc, pgd);
  if (change == SimPicEntry::Change::Off) Leave();
  if (change == SimPicEntry::Change::Enter) Enter(pgc);
  if (change != SimPicEntry::Change::Held || !programming_) return std::nullopt;
  if (erase_ == EraseStep::Holding && pgd) holdLow_ = false;
  OnEvent(icsp_.Clock(pgc, pgd), env);
  return icsp_.Drive();
}

void SimPic18::OnEvent(const SimPic18Icsp::Event& event, const SimEnvironment& env) {
  switch (event.What) {
    case SimPic18Icsp::Event::FourthRise:
      if (armed_) cycleStart_ = env.Now;
      break;
    case SimPic18Icsp::Event::Command:
      OnCommand(event.Value, env);
      break;
    case SimPic18Icsp::Event::Operand:
      OnOperand(event.Value, env);
      break;
    case SimPic18Icsp::Event::OperandStart:
      if (erase_ == EraseStep::Holding) EndEraseHold(env);
      break;
    case SimPic18Icsp::Event::Nothing:
      break;
  }
}

void SimPic18::Enter(bool pgc) {
  Leave();
  programming_ = true;
  icsp_.Reset(pgc);
  core_.Reset();
  command_ = kCore;
  eraseKey_ = 0;
}

void SimPic18::OnCommand(int cmd, const SimEnvironment& env) {
  if (armed_) EndCycle(env);
  command_ = cmd;
  if (erase_ == EraseStep::Nop) {
    erase_ = cmd == kCore ? EraseStep::Holding : EraseStep::None;
    holdStart_ = env.Now;
    holdLow_ = true;
  } else if (erase_ == EraseStep::Keyed && cmd != kCore) {
    erase_ = EraseStep::None;
  }
  if (cmd == kShiftOutTablat) {
    icsp_.SendByte(core_.Tablat());
  } else if (cmd >= kTableRead && cmd <= kTableReadPreInc) {
    TableRead(cmd);
  } else if (cmd != kCore && cmd < kTableWrite) {
    ++ununderstood_;  // its operand is taken in and ignored
  }
}

void SimPic18::EndCycle(const SimEnvironment& env) {
  const std::uint64_t need = armed_->Config ? SimPic18Times::Config : SimPic18Times::Program;
  if (cycleStart_ && Elapsed(env, *cycleStart_, need)) {
    if (armed_->Config) {
      memory_.WriteConfig(armed_->Address, armed_->Byte);
    } else {
      memory_.WriteBuffer(armed_->Address);
    }
  }
  memory_.DropBuffer();
  armed_.reset();
  cycleStart_.reset();
}

void SimPic18::OnOperand(std::uint16_t value, const SimEnvironment& env) {
  const std::uint32_t pointer = core_.TablePointer();
  switch (command_) {
    case kCore:
      if (!core_.Execute(value, env)) ++ununderstood_;
      if (erase_ == EraseStep::Keyed) erase_ = value == 0 ? EraseStep::Nop : EraseStep::None;
      return;
    case kTableWrite:
    case kTableWriteProgram:
      return TableWrite(value, command_ == kTableWriteProgram);
    case kTableWritePostInc2:
    case kTableWritePostInc2Program:
      TableWrite(value, command_ == kTableWritePostInc2Program);
      return core_.SetTablePointer(pointer + 2);
    default:
      return;
  }
}

void SimPic18::TableRead(int cmd) {
  std::uint32_t pointer = core_.TablePointer();
  if (cmd == kTableReadPreInc) ++pointer;
  const std::uint8_t byte = memory_.Read(pointer & 0x3FFFFF);
  if (cmd == kTableReadPostInc) ++pointer;
  if (cmd == kTableReadPostDec) --pointer;
  core_.SetTablePointer(pointer);
  core_.SetTablat(byte);
  icsp_.SendByte(byte);
}

void SimPic18::TableWrite(std::uint16_t value, bool start) {
  const std::uint32_t address = core_.TablePointer();
  if (address == kEraseKeyHigh || address == kEraseKeyLow) return WriteEraseKey(address, value);
  if (memory_.IsConfig(address)) {
    // One byte at a time: the operand's low byte for an even address, the high for an odd one.
    const auto byte = static_cast<std::uint8_t>(address & 1 ? value >> 8 : value & 0xFF);
    if (start) Arm({true, address, byte});
    return;
  }
  if (memory_.Latch(address, value) && start) Arm({false, address, 0});
}

void SimPic18::WriteEraseKey(std::uint32_t address, std::uint16_t value) {
  if (address == kEraseKeyHigh) {
    eraseKey_ = static_cast<std::uint16_t>((eraseKey_ & 0x00FF) | (value & 0xFF00));
    return;
  }
  eraseKey_ = static_cast<std::uint16_t>((eraseKey_ & 0xFF00) | (value & 0x00FF));
  // Other keys erase single regions on these parts; only the chip erase is modelled.
  erase_ = eraseKey_ == kChipEraseKey ? EraseStep::Keyed : EraseStep::None;
}

void SimPic18::Arm(const Cycle& cycle) {
  const std::uint8_t eecon1 = core_.Eecon1({});
  const bool config = (eecon1 & SimPic18Core::kCfgs) != 0;
  if ((eecon1 & SimPic18Core::kEepgd) == 0 || config != cycle.Config) {
    memory_.DropBuffer();
    return;
  }
  armed_ = cycle;
}

void SimPic18::EndEraseHold(const SimEnvironment& env) {
  if (holdLow_ && Elapsed(env, holdStart_, SimPic18Times::Erase)) memory_.EraseChip();
  erase_ = EraseStep::None;
}

}  // namespace pw::sim
