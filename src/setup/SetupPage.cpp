#include "setup/SetupPage.h"

#include <initializer_list>

#include "frame/Texts.h"
#include "model/WindowReporter.h"

namespace pw {
namespace {

/// Shows text in an editable drop-down; the entry of that text, if there is one, is the choice.
void ShowText(ComboBox& box, const std::string& text) {
  box.ItemIndex = -1;
  for (std::size_t i = 0; i < box.Items.size(); ++i) {
    if (box.Items[i] == text) box.ItemIndex = static_cast<int>(i);
  }
  box.Text = text;
}

}  // namespace

SetupPage::SetupPage(FormContext& context) : PageModel(context), settings_(context.Unit) {
  for (ComboBox* box : {&SetupCbus, &SetupLed1, &SetupLed2, &SetupCurrent, &UsbVer, &SetupClock}) box->Enabled = false;
}

void SetupPage::Startup() {
  SetupCbus.Items = {"CLK48", "CLK24", "CLK12", "CLK6", "CLK OFF"};
  SetupCurrent.Items = {"10", "20", "30", "40", "50", "60", "70", "80"};
  SetupLed1.Items = {"чтение", "запись", "питание вкл."};
  SetupLed2.Items = SetupLed1.Items;
  UsbVer.Items = {kUsbVersionTexts.begin(), kUsbVersionTexts.end()};
  SetupClock.Items = {kClockNames.begin(), kClockNames.end()};
  SetupClock.Select(0);
}

std::vector<ControlRef> SetupPage::Controls() {
  return {&Setup,      &SetupCbusLabel,    &SetupCbus,    &SetupLed1Label, &SetupLed1, &SetupLed2Label,
          &SetupLed2,  &SetupCurrentLabel, &SetupCurrent, &UsbVerLabel,    &UsbVer,    &SetupClockLabel,
          &SetupClock, &SetupRead,         &SetupDefoult, &SetupWrite,     &SetupNote};
}

void SetupPage::SetupReadClick() {
  FtSettingsFound found;
  Run(settings_.Read(found), false, texts::kNoProgrammer);
  if (found.Opened) {
    for (ControlBase* c : std::initializer_list<ControlBase*>{&SetupCbus, &SetupCurrent, &UsbVer, &SetupClock,
                                                              &SetupRead, &SetupDefoult, &SetupWrite}) {
      c->Enabled = true;
    }
  }
  if (found.View) ShowSettings(*found.View);
}

void SetupPage::ShowSettings(const FtSettingsView& view) {
  ShowText(SetupCurrent, view.Current);
  ShowText(UsbVer, view.Usb);
  SetupClock.Select(view.Clock);
  ShowText(SetupCbus, view.Cbus);
}

void SetupPage::SetupWriteClick() {
  const FtSettingsChoice choice{SetupCbus.Text, SetupCurrent.Text, UsbVer.Text, SetupClock.ItemIndex};
  Run(settings_.WriteSettings(choice), true, texts::kNoProgrammer);
}

void SetupPage::SetupDefoultClick() { Run(settings_.WriteDefaults(), true, ""); }

void SetupPage::Run(const OperationStep& step, bool programs, const std::string& openFailure) {
  ctx_.ClearLogIfTicked();
  RunOnPage(ctx_, [&](OperationRun& run) {
    settings_.Run(run, FtSettingsOperations::Target(ctx_.ProgrammerBaud, openFailure), {&step, 1}, programs);
  });
}

}  // namespace pw
