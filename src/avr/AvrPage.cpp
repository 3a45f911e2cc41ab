#include "avr/AvrPage.h"

#include <algorithm>
#include <limits>
#include <string>

#include "frame/Texts.h"
#include "model/WindowReporter.h"

namespace pw {
namespace {

/// chips.ini's numbers as the page's geometry members hold them; an unsound description may
/// name any.
std::int32_t Int32(std::int64_t v) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

AvrPage::AvrPage(FormContext& context) : PageModel(context) {
  // Three columns of eight: low, high and extended fuse byte, bit 0 at the top.
  for (int i = 0; i < kFuseBitCount; ++i) {
    const Bounds box{8 + (i / 8) * 112, 18 + (i % 8) * 19, 108, 17};
    AvrFuse.emplace_back("AvrFuse" + std::to_string(i + 1), "AvrFuses", box, "Fuse");
  }
}

void AvrPage::Startup() {
  FuseLow = FuseHigh = FuseExt = LockByte = 0xFF;
  LockBits = kAllLockBits;
  ChipKnown = false;
  for (Label* label : {&AvrPathFls, &AvrPathEep, &AvrParamFls, &AvrParamEep}) label->Caption.clear();
  ClearFusePanel();
  ShowFusePanel();
  FillLockCombos();
  FlashPageSize = FlashPagesCount = EepromPageSize = EepromPagesCount = 0;
  EepromByteWrite = false;
}

std::vector<ControlRef> AvrPage::Controls() {
  std::vector<ControlRef> list = {&AvrSpi,        &AvrRdSign,    &AvrChipRst,  &AvrErase,    &AvrLoadFls,
                                  &AvrWriteFls,   &AvrReadFls,   &AvrPathFls,  &AvrParamFls, &AvrVerifyFls,
                                  &AvrBlankCheck, &AvrLoadEep,   &AvrWriteEep, &AvrReadEep,  &AvrPathEep,
                                  &AvrParamEep,   &AvrVerifyEep, &AvrPrograss, &AvrFuses};
  for (auto& fuse : AvrFuse) list.push_back(&fuse);
  for (ControlRef c : {ControlRef{&AvrLock1}, ControlRef{&AvrLock2}, ControlRef{&AvrLock3}, ControlRef{&AvrReadFuses},
                       ControlRef{&AvrWriteFuses}}) {
    list.push_back(c);
  }
  return list;
}

std::int32_t AvrPage::SessionBaud() const { return ctx_.AutoBaud && autoBaud_ ? *autoBaud_ : ctx_.ProgrammerBaud; }

AvrSettings AvrPage::Settings(bool report) const {
  return {SessionBaud(), ctx_.AutoBaud, ctx_.DescriptionFile(kChipsIniName), report,
          report ? texts::kNoProgrammer : ""};
}

void AvrPage::RunOne(bool report, const std::function<OperationStep(AvrOperations&)>& make,
                     const std::function<void(const AvrOperations&)>& after) {
  AvrOperations ops(ctx_.Unit, Settings(report));
  const OperationStep steps[] = {make(ops)};
  RunOnPage(ctx_, AvrPrograss, [&](OperationRun& run) { RunFrame(ctx_.Unit, run, ops.Target(), steps); });
  ops.KeepAutoBaud(autoBaud_);
  if (after) return after(ops);
  ShowChip(ops, false);
}

void AvrPage::ShowChip(const AvrOperations& ops, bool report) {
  if (!ops.Chip()) return;
  const AvrChip& chip = *ops.Chip();
  ctx_.DopInfo.Text = chip.Signature;
  ClearFusePanel();
  ShowFuseNames(chip.Description);
  FuseLow = chip.Fuses.Low;
  FuseHigh = chip.Fuses.High;
  FuseExt = chip.Fuses.Ext;
  const AvrChipDescription& d = chip.Description;
  FlashPageSize = Int32(d.FlashPageSize);
  FlashPagesCount = Int32(d.FlashPagesCount);
  EepromPageSize = Int32(d.EepromPageSize);
  EepromPagesCount = Int32(d.EepromPagesCount);
  EepromByteWrite = d.EepromByteWrite;
  InternalClockKHz = d.InternalClockKHz;
  LockBits = d.LockBits;
  // A reported identification decides; any identification that finds no usable chip withdraws
  // it, so that the page offers nothing it cannot do with that chip.
  if (report || !chip.Usable) ChipKnown = chip.Usable;
  if (ChipKnown) LockByte = chip.Lock;
  ShowFusePanel();
}

}  // namespace pw
