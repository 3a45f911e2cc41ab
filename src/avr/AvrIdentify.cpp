// Identification of the chip on the AVR header, and the two operations built on it.

#include <algorithm>
#include <exception>
#include <limits>
#include <optional>

#include "avr/AvrPage.h"
#include "avr/AvrTexts.h"
#include "frame/Texts.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"

namespace pw {
namespace {

std::int32_t Int32(std::int64_t v) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

IniFile AvrPage::LoadChipsIni() {
  IniFile chips = IniFile::Load(ctx_.DescriptionFile(kChipsIniName));
  std::string problem;
  if (!chips.LoadError().empty()) {
    problem = chips.LoadError();
  } else if (!chips.Exists()) {
    problem = std::string("Ошибка: ") + kNoIniText;
  } else if (chips.SectionNames().empty()) {
    // An empty file would make every chip "неизвестный" without a word about why.
    problem = std::string("Ошибка! В файле ") + kChipsIniName + " нет ни одного раздела";
  }
  if (problem.empty()) return chips;
  ctx_.DopInfo.Text = kNoIniText;
  ctx_.Log.Append(problem);
  return IniFile{};
}

void AvrPage::ApplyDescription(const AvrChipDescription& chip) {
  ShowFuseNames(chip);
  FlashPageSize = Int32(chip.FlashPageSize);
  FlashPagesCount = Int32(chip.FlashPagesCount);
  EepromPageSize = Int32(chip.EepromPageSize);
  EepromPagesCount = Int32(chip.EepromPagesCount);
  EepromByteWrite = chip.EepromByteWrite;
  InternalClockKHz = chip.InternalClockKHz;
}

void AvrPage::ReportChip(const AvrChipDescription& chip) {
  // 512 words are one kibibyte.
  ctx_.Log.Append("Объём флеши: " + std::to_string(chip.FlashWords() / 512) + " Кбайт");
  ctx_.Log.Append("Объём Еепром: " + texts::AvrSizeText(chip.EepromBytes()));
  ctx_.Log.Append("сигнатура: " + ctx_.DopInfo.Text);
  ctx_.Log.Append("чип: " + chip.Chip);
}

bool AvrPage::IdentifyChip(bool report) {
  if (ctx_.AutoBaud) ChooseBaud();
  Utils.AvrProgEnable();
  ctx_.DopInfo.Text.clear();
  ClearFusePanel();
  Utils.AvrProgEnable();
  const std::uint8_t s0 = Utils.AvrReadSignatureByte(0);
  const std::uint8_t s1 = Utils.AvrReadSignatureByte(1);
  const std::uint8_t s2 = Utils.AvrReadSignatureByte(2);
  ctx_.DopInfo.Text = SignatureText(s0, s1, s2);
  const AvrFuseBytes fuses = Utils.AvrReadFuseBytes();
  FuseLow = fuses.Low;
  FuseHigh = fuses.High;
  FuseExt = fuses.Ext;
  const IniFile chips = LoadChipsIni();
  const std::string section = ctx_.DopInfo.Text;
  const AvrChipDescription chip = ReadChipDescription(chips, section);
  ApplyDescription(chip);
  const auto fault = DescriptionFault(chip, section);
  const bool usable = chip.FlashPagesCount != 0 && !fault;
  // A chip the program cannot serve gets the safe waits, whatever its section says.
  Utils.Delays = usable ? WriteDelays(chip) : AvrWriteDelays{};
  if (report) ReportChip(chip);
  if (fault) ctx_.Log.Append(*fault);
  // A reported identification decides; any identification that finds no usable chip withdraws
  // it, so that no operation goes on with a geometry it cannot use.
  if (report || !usable) ChipKnown = usable;
  if (ChipKnown) LockByte = Utils.AvrReadLockByte();
  ShowFusePanel();
  ctx_.Host.ProcessEvents();
  return usable;
}

void AvrPage::AvrRdSignClick() {
  ctx_.ClearLogIfTicked();
  std::optional<ProgrammerSession> session;
  try {
    session.emplace(ctx_.Unit, kModeAvr, SessionBaud());
  } catch (const std::exception&) {
    ctx_.ReportError(texts::kNoProgrammer);
    return;
  }
  const bool known = IdentifyChip(true);
  for (Button* button : {&AvrChipRst, &AvrErase, &AvrLoadFls, &AvrLoadEep}) button->Enabled = true;
  session->Close();
  if (!known) ctx_.MarkTargetFailed();
}

void AvrPage::AvrReadFusesClick() {
  ctx_.ClearLogIfTicked();
  ProgrammerSession session(ctx_.Unit, kModeAvr, SessionBaud());
  const bool known = IdentifyChip(false);
  session.Close();
  if (!known) ctx_.MarkTargetFailed();
}

}  // namespace pw
