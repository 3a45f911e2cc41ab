#include "spi/SpiFlashPage.h"

namespace pw {

SpiFlashPage::SpiFlashPage() { SpiFlashType.Enabled = false; }

std::vector<ControlRef> SpiFlashPage::Controls() {
  return {&SpiFlash,     &SpiFlashType, &SpiFlashFile, &SpiFlashRead, &SpiFlashWrite,
          &SpiFlashErase, &SpiFlashLab1, &SpiFlashLab2, &SpiProgress};
}

}  // namespace pw
