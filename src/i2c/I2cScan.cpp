// The bus scan: every 7-bit address a device may take, each probed with a write stopped right
// after its device byte. A stop there starts no write cycle on an EEPROM, so nothing changes.

#include "common/HexDigits.h"
#include "i2c/I2cBus.h"
#include "i2c/I2cOperations.h"
#include "i2c/I2cTexts.h"

namespace pw {

std::vector<std::uint8_t> ScanI2cBus(D2XXUnit& unit) {
  I2C_eeprom bus(unit);
  // All probes in one run: 112 of them take a few thousand samples, one exchange.
  std::vector<std::uint32_t> marks;
  for (unsigned address = kI2cFirstAddress; address <= kI2cLastAddress; ++address) {
    bus.I2cPutStart();
    marks.push_back(bus.I2cPutByte(static_cast<std::uint8_t>(address << 1)));
    bus.I2cPutStop();
  }
  bus.Exchange();
  std::vector<std::uint8_t> answered;
  for (std::size_t k = 0; k < marks.size(); ++k) {
    if (bus.Acknowledged(marks[k])) answered.push_back(static_cast<std::uint8_t>(kI2cFirstAddress + k));
  }
  return answered;
}

OperationStep I2cOperations::Scan() {
  return {.Act = [this](OperationRun& run) {
    run.Log(texts::kI2cScanStart);
    std::string found;
    for (const std::uint8_t address : ScanI2cBus(unit_)) found += " 0x" + HexDigits(address, 2);
    run.Log(found.empty() ? std::string(texts::kI2cScanNone) : texts::I2cScanFound(found));
  }};
}

}  // namespace pw
