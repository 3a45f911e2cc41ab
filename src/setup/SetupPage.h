#pragma once
/// @file
/// The "Настройки" page: reads the programmer's own FT232R configuration EEPROM, shows the
/// CBUS4 function, current, USB version and clock source, and programs them back, from the
/// controls or as defaults.

#include <functional>
#include <vector>

#include "model/Controls.h"
#include "model/FormContext.h"
#include "model/PageModel.h"
#include "setup/FtSettingsOperations.h"

namespace pw {

class SetupPage : public PageModel {
 public:
  explicit SetupPage(FormContext& context);

  // The controls, each with the handler it runs.
  /// Reads the settings and shows them; also runs on every showing of the page.
  void SetupReadClick();
  TabSheet Setup{"Setup", "Настройки", [this] { SetupReadClick(); }};
  Label SetupCbusLabel{"SetupCbusLabel", "Setup", {8, 8, 196, 30}, "Выход тактовой частоты (выход CBUS4)"};
  ComboBox SetupCbus{"SetupCbus", "Setup", {210, 12, 198, 21}, "SetupCbus"};
  Label SetupLed1Label{"SetupLed1Label", "Setup", {8, 40, 196, 30}, "Функция красного светодиода"};
  ComboBox SetupLed1{"SetupLed1", "Setup", {210, 44, 198, 21}, "запись"};
  Label SetupLed2Label{"SetupLed2Label", "Setup", {8, 72, 196, 30}, "Функция зелёного светодиода"};
  ComboBox SetupLed2{"SetupLed2", "Setup", {210, 76, 198, 21}, "чтение"};
  Label SetupCurrentLabel{"SetupCurrentLabel", "Setup", {8, 104, 196, 30}, "Ограничение тока портов, mA"};
  ComboBox SetupCurrent{"SetupCurrent", "Setup", {210, 108, 198, 21}, "CurrentIO"};
  Label UsbVerLabel{"UsbVerLabel", "Setup", {8, 136, 196, 30}, "Версия USB"};
  ComboBox UsbVer{"UsbVer", "Setup", {210, 140, 198, 21}, ""};
  Label SetupClockLabel{"SetupClockLabel", "Setup", {8, 168, 196, 30}, "Настройка тактового генератора"};
  ComboBox SetupClock{"SetupClock", "Setup", {210, 172, 198, 21}, "", false};
  Button SetupRead{"SetupRead", "Setup", {8, 208, 400, 25}, "Считать настройки", [this] { SetupReadClick(); }, false};
  /// Programs the default settings over the record last read.
  void SetupDefoultClick();
  Button SetupDefoult{
      "SetupDefoult", "Setup", {8, 240, 400, 25}, "Прошить по умолчанию", [this] { SetupDefoultClick(); }, false};
  /// Programs the settings taken from the controls.
  void SetupWriteClick();
  Button SetupWrite{"SetupWrite", "Setup", {8, 272, 400, 25}, "Прошить настройки", [this] { SetupWriteClick(); },
                    false};
  Label SetupNote{"SetupNote",
                  "Setup",
                  {8, 310, 400, 34},
                  "После прошивки настроек программатор необходимо переподключить.",
                  Label::Style::Warning};

 private:
  void Startup() override;
  std::vector<ControlRef> Controls() override;
  void ShowSettings(const FtSettingsView& view);
  /// Runs step (one that programs when programs) on the programmer; openFailure as the target's.
  void Run(const OperationStep& step, bool programs, const std::string& openFailure);

  /// Keeps the record the last read found between the page's events.
  FtSettingsOperations settings_;
};

}  // namespace pw
