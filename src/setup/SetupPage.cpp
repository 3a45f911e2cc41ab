#include "setup/SetupPage.h"

namespace pw {

SetupPage::SetupPage(FormContext& context) : ctx_(context) {
  for (ComboBox* box : {&SetupCbus, &SetupLed1, &SetupLed2, &SetupCurrent, &UsbVer, &SetupClock}) box->Enabled = false;
}

void SetupPage::Startup() {
  // The settings lists come with the settings operations.
}

std::vector<ControlRef> SetupPage::Controls() {
  return {&Setup,          &SetupCbusLabel, &SetupCbus,   &SetupLed1Label, &SetupLed1,    &SetupLed2Label,
          &SetupLed2,      &SetupCurrentLabel, &SetupCurrent, &UsbVerLabel,  &UsbVer,       &SetupClockLabel,
          &SetupClock,     &SetupRead,      &SetupDefoult, &SetupWrite,    &SetupNote};
}

}  // namespace pw
