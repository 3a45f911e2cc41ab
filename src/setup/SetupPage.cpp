#include "setup/SetupPage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <initializer_list>

#include "frame/Texts.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"
#include "setup/FtSettings.h"

namespace pw {
namespace {

/// A text buffer of the record up to its first zero byte.
template <std::size_t N>
std::string TextOf(const std::array<char, N>& buffer) {
  return std::string(buffer.data(), strnlen(buffer.data(), N));
}

/// Shows text in an editable drop-down; the entry of that text, if there is one, is the choice.
void ShowText(ComboBox& box, const std::string& text) {
  box.ItemIndex = -1;
  for (std::size_t i = 0; i < box.Items.size(); ++i) {
    if (box.Items[i] == text) box.ItemIndex = static_cast<int>(i);
  }
  box.Text = text;
}

}  // namespace

SetupPage::SetupPage(FormContext& context) : ctx_(context) {
  for (ComboBox* box : {&SetupCbus, &SetupLed1, &SetupLed2, &SetupCurrent, &UsbVer, &SetupClock}) box->Enabled = false;
  Setup.OnShow = [this] { SetupReadClick(); };
  SetupRead.OnClick = [this] { SetupReadClick(); };
  SetupWrite.OnClick = [this] { SetupWriteClick(); };
  SetupDefoult.OnClick = [this] { SetupDefoultClick(); };
}

void SetupPage::Startup() {
  SetupCbus.Items = {"CLK48", "CLK24", "CLK12", "CLK6", "CLK OFF"};
  SetupCurrent.Items = {"10", "20", "30", "40", "50", "60", "70", "80"};
  SetupLed1.Items = {"чтение", "запись", "питание вкл."};
  SetupLed2.Items = SetupLed1.Items;
  UsbVer.Items = {"2.0", "1.1"};
  SetupClock.Items = {"внутренний генератор", "внешний кварц"};
  SetupClock.Select(0);
}

std::vector<ControlRef> SetupPage::Controls() {
  return {&Setup,      &SetupCbusLabel,    &SetupCbus,    &SetupLed1Label, &SetupLed1, &SetupLed2Label,
          &SetupLed2,  &SetupCurrentLabel, &SetupCurrent, &UsbVerLabel,    &UsbVer,    &SetupClockLabel,
          &SetupClock, &SetupRead,         &SetupDefoult, &SetupWrite,     &SetupNote};
}

void SetupPage::SetupReadClick() {
  ctx_.ClearLogIfTicked();
  std::optional<ProgrammerSession> session;
  try {
    session.emplace(ctx_.Unit, kModeNone, ctx_.ProgrammerBaud);
  } catch (const std::exception&) {
    ctx_.ReportError(texts::kNoProgrammer);
    return;
  }
  for (ControlBase* c : std::initializer_list<ControlBase*>{&SetupCbus, &SetupCurrent, &UsbVer, &SetupClock, &SetupRead,
                                                            &SetupDefoult, &SetupWrite}) {
    c->Enabled = true;
  }
  // Each read prepares the record afresh; one that fails leaves it half filled.
  settingsRead_ = false;
  for (std::uint32_t version : {0u, 1u, 2u}) ctx_.Unit.ReadFtEeprom(version);
  settingsRead_ = true;
  readDescription_ = TextOf(ctx_.Unit.DescriptionBuffer);
  LogSettings();
  ShowSettings();
  session->Close();
}

void SetupPage::LogSettings() {
  const D2XXUnit& unit = ctx_.Unit;
  ctx_.Log.Append("считывание настроек FT");
  ctx_.Log.Append("Manufacture: " + TextOf(unit.ManufacturerBuffer));
  ctx_.Log.Append("ID: " + TextOf(unit.ManufacturerIdBuffer));
  ctx_.Log.Append("Description: " + TextOf(unit.DescriptionBuffer));
  ctx_.Log.Append("SerialNumber: " + TextOf(unit.SerialNumberBuffer));
  ctx_.Log.Append("HI Drive=" + std::to_string(unit.FtEeData.HighDriveIOs));
}

void SetupPage::ShowSettings() {
  const FT_PROGRAM_DATA& data = ctx_.Unit.FtEeData;
  ShowText(SetupCurrent, std::to_string(data.MaxPower));
  ShowText(UsbVer, UsbVersionText(data.USBVersion));
  SetupClock.Select(data.UseExtOsc != 0 ? 1 : 0);
  ShowText(SetupCbus, CbusName(data.Cbus4));
}

void SetupPage::SetupWriteClick() {
  ctx_.ClearLogIfTicked();
  std::optional<std::string> notProgrammed;
  try {
    FT_PROGRAM_DATA& data = ctx_.Unit.FtEeData;
    data.Cbus4 = CbusValue(SetupCbus.Text);
    data.MaxPower = CurrentValue(SetupCurrent.Text);
    data.USBVersion = UsbVersionValue(UsbVer.Text);
    data.HighDriveIOs = 1;
    data.PullDownEnable = 0;
    data.UseExtOsc = static_cast<std::uint8_t>(SetupClock.ItemIndex == 1 ? 1 : 0);
    notProgrammed = ProgramFtSettings();
  } catch (const std::exception&) {
    ctx_.ReportError(texts::kNoProgrammer);
    return;
  }
  if (notProgrammed) return NotProgrammed(*notProgrammed);
  ctx_.Log.Append("настройки прошиты");
}

void SetupPage::SetupDefoultClick() {
  ctx_.ClearLogIfTicked();
  ApplyDefaultSettings(ctx_.Unit.FtEeData);
  if (const auto notProgrammed = ProgramFtSettings()) return NotProgrammed(*notProgrammed);
  ctx_.Log.Append("настройки прошиты по умолчанию");
}

void SetupPage::NotProgrammed(const std::string& why) {
  ctx_.Log.Append(why);
  ctx_.MarkTargetFailed();
}

std::optional<std::string> SetupPage::ProgramFtSettings() {
  D2XXUnit& unit = ctx_.Unit;
  // A record no read filled holds zeros: programmed, the programmer would vanish from the bus.
  if (!settingsRead_) return "Ошибка: настройки не считаны с программатора, прошивка отменена";
  if (auto unsafe = UnsafeSettings(unit.FtEeData)) return unsafe;
  if (unit.FtHandle != 0) return "Ошибка: программатор занят другой операцией, настройки не прошиты";
  const int index = FindProgrammerIndex(unit);
  // The listing left the last listed description in the record's buffer, which may be another
  // device's; the device keeps its own.
  std::memset(unit.DescriptionBuffer.data(), 0, unit.DescriptionBuffer.size());
  std::memcpy(unit.DescriptionBuffer.data(), readDescription_.data(),
              std::min(readDescription_.size(), unit.DescriptionBuffer.size() - 1));
  unit.FtOpen(index);
  try {
    unit.FtSetBitMode(0x00, FT_BITMODE_RESET);
    unit.ProgramFtEeprom();
    CloseProgrammer(unit);
  } catch (...) {
    AbandonProgrammer(unit);
    throw;
  }
  return std::nullopt;
}

}  // namespace pw
