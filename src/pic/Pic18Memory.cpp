// PIC18Utils, memory routines: the table pointer, reads and buffer writes of program memory and
// IDs, configuration bytes, the bulk erase and data EEPROM, each in the maker's
// programming document's sequence of core instructions and table commands.
#include <utility>

#include "common/Error.h"
#include "pic/Pic18Utils.h"

namespace pw {

using namespace pic18;

namespace {

/// The operand of a table write: the even address's byte low, the odd one's high.
std::uint16_t Pair(std::uint8_t even, std::uint8_t odd) { return static_cast<std::uint16_t>(even | odd << 8); }

}  // namespace

void PIC18Utils::PointAt(std::uint32_t address) {
  for (const auto& [reg, shift] : {std::pair{kTblptrU, 16}, std::pair{kTblptrH, 8}, std::pair{kTblptrL, 0}}) {
    Instruction(Movlw(static_cast<std::uint8_t>(address >> shift)));
    Instruction(Movwf(reg));
  }
}

void PIC18Utils::ReadBytes(std::uint32_t address, std::span<std::uint8_t> destination) {
  PointAt(address);
  for (std::uint8_t& byte : destination) Read(kTableReadPostIncrement, &byte);
}

void PIC18Utils::Select(bool programMemory, bool configuration) {
  Instruction(programMemory ? Bsf(kEecon1, kEepgd) : Bcf(kEecon1, kEepgd));
  Instruction(configuration ? Bsf(kEecon1, kCfgs) : Bcf(kEecon1, kCfgs));
  Instruction(Bsf(kEecon1, kWren));
}

void PIC18Utils::WriteBuffer(std::uint32_t address, std::span<const std::uint8_t> bytes, std::int32_t programMs) {
  if (bytes.size() < 2 || bytes.size() % 2 != 0) throw PinwrightError("Ошибка! Блок записи PIC18 нечётной длины");
  Select(true, false);
  PointAt(address);
  for (std::size_t k = 0; k + 2 < bytes.size(); k += 2) Put(kTableWritePostIncrement2, Pair(bytes[k], bytes[k + 1]));
  const std::size_t last = bytes.size() - 2;
  Put(kTableWriteStartProgramming, Pair(bytes[last], bytes[last + 1]));
  ProgrammingNop(programMs);
}

void PIC18Utils::WriteConfigByte(std::uint32_t address, std::uint8_t value, std::int32_t programMs) {
  Select(true, true);
  PointAt(address);
  // The chip takes the low operand byte at an even address, the high one at an odd address.
  Put(kTableWriteStartProgramming, Pair(value, value));
  ProgrammingNop(programMs);
}

void PIC18Utils::BulkErase(std::uint16_t key, std::int32_t eraseMs) {
  const auto high = static_cast<std::uint8_t>(key >> 8);
  const auto low = static_cast<std::uint8_t>(key & 0xFF);
  PointAt(kEraseKeyHighAddress);
  Put(kTableWrite, Pair(high, high));
  PointAt(kEraseKeyLowAddress);
  Put(kTableWrite, Pair(low, low));
  Instruction(kNop);
  EraseNop(eraseMs);
  Flush();
}

void PIC18Utils::AddressData(std::uint16_t address) {
  Instruction(Bcf(kEecon1, kEepgd));
  Instruction(Bcf(kEecon1, kCfgs));
  Instruction(Movlw(static_cast<std::uint8_t>(address & 0xFF)));
  Instruction(Movwf(kEeadr));
  Instruction(Movlw(static_cast<std::uint8_t>(address >> 8)));
  Instruction(Movwf(kEeadrH));
}

void PIC18Utils::ReadData(std::uint16_t address, std::uint8_t* destination) {
  AddressData(address);
  Instruction(Bsf(kEecon1, kRd));
  Instruction(MovfToW(kEedata));
  Instruction(Movwf(kTablat));
  Instruction(kNop);
  Read(kShiftOutTablat, destination);
}

void PIC18Utils::WriteData(std::uint16_t address, std::uint8_t value, std::int32_t writeMs) {
  AddressData(address);
  Instruction(Movlw(value));
  Instruction(Movwf(kEedata));
  Instruction(Bsf(kEecon1, kWren));
  Instruction(Bsf(kEecon1, kWr));
  // The write starts with the instruction after WR is set; the host waits it out (P11A) rather
  // than polling WR, and the read-back verifies it.
  Instruction(kNop);
  Idle(writeMs);
  Instruction(Bcf(kEecon1, kWren));
}

}  // namespace pw
