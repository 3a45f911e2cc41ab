#include "sim/SimPic18Core.h"

namespace pw::sim {
namespace {

// Access-bank addresses of the registers ICSP uses.
constexpr std::uint8_t kTblptrU = 0xF8;
constexpr std::uint8_t kTblptrH = 0xF7;
constexpr std::uint8_t kTblptrL = 0xF6;
constexpr std::uint8_t kTablat = 0xF5;
constexpr std::uint8_t kEecon1 = 0xA6;
constexpr std::uint8_t kEecon2 = 0xA7;
constexpr std::uint8_t kEedata = 0xA8;
constexpr std::uint8_t kEeadr = 0xA9;
constexpr std::uint8_t kEeadrh = 0xAA;
// What software sets in EECON1: WRERR (bit 3) only hardware sets, on a write cut by a reset,
// which the simulated chip never sees in programming mode; bit 5 does not exist.
constexpr std::uint8_t kEecon1Writable = 0xD4;

std::uint8_t Byte(std::uint32_t value, int shift) { return static_cast<std::uint8_t>((value >> shift) & 0xFF); }

}  // namespace

void SimPic18Core::Reset() {
  w_ = 0;
  tblptr_ = 0;
  tablat_ = 0;
  eecon1_ = 0;
  eedata_ = 0;
  eeadr_ = 0;
  writeEnds_ = 0;
}

bool SimPic18Core::Execute(std::uint16_t op, const SimEnvironment& env) {
  const auto f = static_cast<std::uint8_t>(op & 0xFF);
  const int bit = (op >> 9) & 7;
  if (op == 0x0000) return true;  // NOP
  if ((op & 0xFF00) == 0x0E00) {  // MOVLW k
    w_ = f;
    return true;
  }
  if ((op & 0xFF00) == 0x6E00) return WriteRegister(f, w_, env);  // MOVWF f, ACCESS
  if ((op & 0xFF00) == 0x5000) {                                  // MOVF f, W, ACCESS
    const auto value = ReadRegister(f, env);
    if (value) w_ = *value;
    return value.has_value();
  }
  if ((op & 0xF100) == 0x8000) return ChangeBit(f, bit, true, env);   // BSF f, b, ACCESS
  if ((op & 0xF100) == 0x9000) return ChangeBit(f, bit, false, env);  // BCF f, b, ACCESS
  return false;
}

std::uint8_t SimPic18Core::Eecon1(const SimEnvironment& env) const {
  const bool writing = env.Timing == TimingModel::Datasheet && env.Now < writeEnds_;
  return static_cast<std::uint8_t>((eecon1_ & ~(kWr | kRd)) | (writing ? kWr : 0));
}

std::optional<std::uint8_t> SimPic18Core::ReadRegister(std::uint8_t f, const SimEnvironment& env) const {
  switch (f) {
    case kTblptrU:
      return Byte(tblptr_, 16);
    case kTblptrH:
      return Byte(tblptr_, 8);
    case kTblptrL:
      return Byte(tblptr_, 0);
    case kTablat:
      return tablat_;
    case kEecon1:
      return Eecon1(env);
    case kEedata:
      return eedata_;
    case kEeadr:
      return eeadr_;
    case kEecon2:
    case kEeadrh:
      return std::uint8_t{0};
    default:
      return std::nullopt;
  }
}

bool SimPic18Core::WriteRegister(std::uint8_t f, std::uint8_t value, const SimEnvironment& env) {
  if (f == kTblptrU || f == kTblptrH || f == kTblptrL) {
    const int shift = (f - kTblptrL) * 8;
    SetTablePointer((tblptr_ & ~(0xFFu << shift)) | static_cast<std::uint32_t>(value) << shift);
    return true;
  }
  switch (f) {
    case kTablat:
      tablat_ = value;
      return true;
    case kEecon1:
      return WriteEecon1(value, env);
    case kEedata:
      eedata_ = value;
      return true;
    case kEeadr:
      eeadr_ = value;
      return true;
    case kEecon2:  // the unlock sequence is not needed in programming mode
    case kEeadrh:
      return true;
    default:
      return false;
  }
}

bool SimPic18Core::ChangeBit(std::uint8_t f, int b, bool set, const SimEnvironment& env) {
  const auto value = ReadRegister(f, env);
  if (!value) return false;
  const auto mask = static_cast<std::uint8_t>(1u << b);
  return WriteRegister(f, static_cast<std::uint8_t>(set ? *value | mask : *value & ~mask), env);
}

bool SimPic18Core::WriteEecon1(std::uint8_t value, const SimEnvironment& env) {
  const bool dataEeprom = (value & (kEepgd | kCfgs)) == 0;
  const bool startsWrite = (value & kWr) != 0 && (Eecon1(env) & kWr) == 0;
  // Flash reads and erases through EECON1 are not modelled: program memory goes by table
  // reads and buffered table writes in programming mode.
  if (((value & kRd) != 0 || startsWrite) && !dataEeprom) return false;
  eecon1_ = static_cast<std::uint8_t>(value & kEecon1Writable);
  if ((value & kRd) != 0) eedata_ = memory_.ReadData(eeadr_);
  if (startsWrite && (value & kWren) != 0) {
    memory_.WriteData(eeadr_, eedata_);
    writeEnds_ = env.Now + SimPic18Times::Data * kPicosPerMicro;
  }
  return true;
}

}  // namespace pw::sim
