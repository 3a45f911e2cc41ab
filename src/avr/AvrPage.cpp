#include "avr/AvrPage.h"

#include <string>

namespace pw {

AvrPage::AvrPage(FormContext& context) : Utils(context.Unit), ctx_(context) {
  // Three columns of eight: low, high and extended fuse byte, bit 0 at the top.
  for (int i = 0; i < kFuseBitCount; ++i) {
    const Bounds box{8 + (i / 8) * 112, 18 + (i % 8) * 19, 108, 17};
    AvrFuse.emplace_back("AvrFuse" + std::to_string(i + 1), "AvrFuses", box, "Fuse");
  }
  AvrRdSign.OnClick = [this] { AvrRdSignClick(); };
  AvrReadFuses.OnClick = [this] { AvrReadFusesClick(); };
}

void AvrPage::Startup() {
  FuseLow = FuseHigh = FuseExt = LockByte = 0xFF;
  ChipKnown = false;
  for (Label* label : {&AvrPathFls, &AvrPathEep, &AvrParamFls, &AvrParamEep}) label->Caption.clear();
  ClearFusePanel();
  ShowFusePanel();
  FillLockCombos();
  FlashPageSize = FlashPagesCount = EepromPageSize = EepromPagesCount = 0;
  EepromByteWrite = false;
}

std::vector<ControlRef> AvrPage::Controls() {
  std::vector<ControlRef> list = {&AvrSpi,     &AvrRdSign,   &AvrChipRst,  &AvrErase,    &AvrLoadFls,  &AvrWriteFls,
                                  &AvrReadFls, &AvrPathFls,  &AvrParamFls, &AvrLoadEep,  &AvrWriteEep, &AvrReadEep,
                                  &AvrPathEep, &AvrParamEep, &AvrPrograss, &AvrFuses};
  for (auto& fuse : AvrFuse) list.push_back(&fuse);
  for (ControlRef c : {ControlRef{&AvrLock1}, ControlRef{&AvrLock2}, ControlRef{&AvrLock3}, ControlRef{&AvrReadFuses},
                       ControlRef{&AvrWriteFuses}}) {
    list.push_back(c);
  }
  return list;
}

}  // namespace pw
