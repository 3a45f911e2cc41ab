#include "spi/SpiFlashDiagnosis.h"

#include "spi/SpiFlashTexts.h"

namespace pw {

Diagnosis DiagnoseSilentFlash(const JedecId& id) {
  // MISO floats high when nothing drives it; a line read low through a wake-up command is held.
  if (id == JedecId{0, 0, 0}) return {texts::kSpiMisoLow, texts::kSpiMisoLowAdvice};
  return {texts::kSpiMisoHigh, texts::kSpiMisoHighAdvice};
}

}  // namespace pw
