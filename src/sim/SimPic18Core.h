#pragma once
/// @file
/// The small part of a PIC18 core that ICSP drives: the W register, the table pointer and
/// TABLAT, and EECON1 with the data EEPROM registers. It executes MOVLW, MOVWF, MOVF f,W, BSF,
/// BCF and NOP on the access bank; any other instruction, or a register it does not hold, is
/// not carried out. EEADRH does not exist on the parts carried (256-byte EEPROM): it reads 0
/// and takes no writes, as on silicon.

#include <cstdint>
#include <optional>

#include "sim/SimPic18Memory.h"
#include "sim/SimTime.h"

namespace pw::sim {

class SimPic18Core {
 public:
  /// EECON1 bits.
  enum : std::uint8_t { kRd = 0x01, kWr = 0x02, kWren = 0x04, kFree = 0x10, kCfgs = 0x40, kEepgd = 0x80 };

  explicit SimPic18Core(SimPic18Memory& memory) : memory_(memory) {}

  /// Registers as after entry into programming mode.
  void Reset();
  /// Executes instruction op; false (and nothing done) for one the chip does not model.
  bool Execute(std::uint16_t op, const SimEnvironment& env);

  std::uint32_t TablePointer() const { return tblptr_; }
  void SetTablePointer(std::uint32_t address) { tblptr_ = address & kPointerMask; }
  std::uint8_t Tablat() const { return tablat_; }
  void SetTablat(std::uint8_t value) { tablat_ = value; }
  std::uint8_t Eecon1(const SimEnvironment& env) const;

 private:
  static constexpr std::uint32_t kPointerMask = 0x3FFFFF;

  /// Access-bank register f; nothing for one not modelled.
  std::optional<std::uint8_t> ReadRegister(std::uint8_t f, const SimEnvironment& env) const;
  bool WriteRegister(std::uint8_t f, std::uint8_t value, const SimEnvironment& env);
  /// BSF (set) or BCF on register f, bit b.
  bool ChangeBit(std::uint8_t f, int b, bool set, const SimEnvironment& env);
  /// EECON1 written: RD and WR start their cycles, software cannot clear them.
  bool WriteEecon1(std::uint8_t value, const SimEnvironment& env);

  SimPic18Memory& memory_;
  std::uint8_t w_ = 0;
  std::uint32_t tblptr_ = 0;
  std::uint8_t tablat_ = 0;
  std::uint8_t eecon1_ = 0;
  std::uint8_t eedata_ = 0;
  std::uint8_t eeadr_ = 0;
  /// The end of a data EEPROM write: WR reads 1 until then.
  SimTime writeEnds_ = 0;
};

}  // namespace pw::sim
