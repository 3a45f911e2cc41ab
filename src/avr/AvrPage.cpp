#include "avr/AvrPage.h"

#include <algorithm>
#include <string>

#include "avr/AvrBaudProbe.h"
#include "avr/AvrTexts.h"

namespace pw {

AvrPage::AvrPage(FormContext& context) : Utils(context.Unit), ctx_(context) {
  // Three columns of eight: low, high and extended fuse byte, bit 0 at the top.
  for (int i = 0; i < kFuseBitCount; ++i) {
    const Bounds box{8 + (i / 8) * 112, 18 + (i % 8) * 19, 108, 17};
    AvrFuse.emplace_back("AvrFuse" + std::to_string(i + 1), "AvrFuses", box, "Fuse");
  }
  AvrRdSign.OnClick = [this] { AvrRdSignClick(); };
  AvrReadFuses.OnClick = [this] { AvrReadFusesClick(); };
  AvrLoadFls.OnClick = [this] { AvrLoadFlsClick(); };
  AvrReadFls.OnClick = [this] { AvrReadFlsClick(); };
  AvrWriteFls.OnClick = [this] { AvrWriteFlsClick(); };
  AvrLoadEep.OnClick = [this] { AvrLoadEepClick(); };
  AvrReadEep.OnClick = [this] { AvrReadEepClick(); };
  AvrWriteEep.OnClick = [this] { AvrWriteEepClick(); };
  AvrWriteFuses.OnClick = [this] { AvrWriteFusesClick(); };
  AvrErase.OnClick = [this] { AvrEraseClick(); };
  AvrChipRst.OnClick = [this] { AvrChipRstClick(); };
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
  std::vector<ControlRef> list = {&AvrSpi,     &AvrRdSign,   &AvrChipRst,  &AvrErase,   &AvrLoadFls,  &AvrWriteFls,
                                  &AvrReadFls, &AvrPathFls,  &AvrParamFls, &AvrLoadEep, &AvrWriteEep, &AvrReadEep,
                                  &AvrPathEep, &AvrParamEep, &AvrPrograss, &AvrFuses};
  for (auto& fuse : AvrFuse) list.push_back(&fuse);
  for (ControlRef c : {ControlRef{&AvrLock1}, ControlRef{&AvrLock2}, ControlRef{&AvrLock3}, ControlRef{&AvrReadFuses},
                       ControlRef{&AvrWriteFuses}}) {
    list.push_back(c);
  }
  return list;
}

void AvrPage::Refuse(const std::string& line) {
  ctx_.Log.Append(line);
  ctx_.MarkTargetFailed();
}

void AvrPage::RefuseInput(const std::string& line) {
  ctx_.Log.Append(line);
  ctx_.MarkInputRefused();
}

bool AvrPage::ChipAnswers() {
  if (Utils.AvrProgEnable()) return true;
  Refuse(texts::kAvrNoAnswer);
  return false;
}

std::int32_t AvrPage::SessionBaud() const { return ctx_.AutoBaud && autoBaud_ ? *autoBaud_ : ctx_.ProgrammerBaud; }

void AvrPage::ChooseBaud() {
  const auto choice = ProbeAvrBaud(ctx_.Unit, Utils);
  autoBaud_ = choice ? std::optional<std::int32_t>(choice->Working) : std::nullopt;
  if (choice) {
    ctx_.Log.Append("Скорость авто: чип отвечает до " + std::to_string(choice->Fastest) + " бод, работаем на " +
                    std::to_string(choice->Working) + " бод");
  } else {
    ctx_.Log.Append("Скорость авто: чип не ответил ни на одной скорости, работаем на " +
                    std::to_string(ctx_.Unit.LinkBaud) + " бод");
  }
}

void AvrPage::StartProgress(std::int32_t max) {
  AvrPrograss.Min = 0;
  AvrPrograss.Max = max;
  AvrPrograss.Position = 0;
}

void AvrPage::SetProgress(std::int64_t position) {
  // The last page of a write counts a whole page, which may run past the bar's end.
  const std::int64_t above = std::max<std::int64_t>(position, AvrPrograss.Min);
  AvrPrograss.Position = static_cast<int>(std::min<std::int64_t>(above, AvrPrograss.Max));
}

void AvrPage::ShowProgress() {
  ctx_.Host.RepaintProgress(AvrPrograss);
  ctx_.Host.ProcessEvents();
}

}  // namespace pw
