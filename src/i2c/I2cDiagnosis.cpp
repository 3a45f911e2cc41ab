#include "i2c/I2cDiagnosis.h"

#include "common/HexDigits.h"
#include "i2c/I2cTexts.h"

namespace pw {

std::optional<Diagnosis> DiagnoseI2c(I2cGroupResult result, std::uint8_t deviceByte) {
  switch (result) {
    case I2cGroupResult::NoAnswer:
      return Diagnosis{texts::I2cNoAcknowledge(HexDigits(deviceByte, 2)), texts::kI2cNoAcknowledgeAdvice};
    case I2cGroupResult::BusHeld:
      return Diagnosis{texts::kI2cSdaStaysLow, texts::kI2cSdaStaysLowAdvice};
    case I2cGroupResult::Done:
    case I2cGroupResult::Refused:
      break;
  }
  return std::nullopt;
}

}  // namespace pw
