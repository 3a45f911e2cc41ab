#pragma once
/// @file
/// The "Настройки" page: the programmer's own FT232R configuration.

#include <vector>

#include "model/Controls.h"
#include "model/FormContext.h"

namespace pw {

class SetupPage {
 public:
  explicit SetupPage(FormContext& context);
  SetupPage(const SetupPage&) = delete;
  SetupPage& operator=(const SetupPage&) = delete;

  /// Sets the page up when the window is created.
  void Startup();
  /// The page and every control on it, parents before children.
  std::vector<ControlRef> Controls();

  TabSheet Setup{"Setup", "Настройки"};
  Label SetupCbusLabel{"SetupCbusLabel", "Setup", {8, 12, 226, 15}, "Выход тактовой частоты (выход CBUS4)"};
  ComboBox SetupCbus{"SetupCbus", "Setup", {240, 8, 120, 21}, "SetupCbus"};
  Label SetupLed1Label{"SetupLed1Label", "Setup", {8, 42, 226, 15}, "Функция красного светодиода"};
  ComboBox SetupLed1{"SetupLed1", "Setup", {240, 38, 120, 21}, "запись"};
  Label SetupLed2Label{"SetupLed2Label", "Setup", {8, 72, 226, 15}, "Функция зелёного светодиода"};
  ComboBox SetupLed2{"SetupLed2", "Setup", {240, 68, 120, 21}, "чтение"};
  Label SetupCurrentLabel{"SetupCurrentLabel", "Setup", {8, 102, 226, 15}, "Ограничение тока портов, mA"};
  ComboBox SetupCurrent{"SetupCurrent", "Setup", {240, 98, 120, 21}, "CurrentIO"};
  Label UsbVerLabel{"UsbVerLabel", "Setup", {8, 132, 226, 15}, "Версия USB"};
  ComboBox UsbVer{"UsbVer", "Setup", {240, 128, 120, 21}, ""};
  Label SetupClockLabel{"SetupClockLabel", "Setup", {8, 162, 226, 15}, "Настройка тактового генератора"};
  ComboBox SetupClock{"SetupClock", "Setup", {240, 158, 120, 21}, "", false};
  Button SetupRead{"SetupRead", "Setup", {8, 196, 352, 25}, "Считать настройки", false};
  Button SetupDefoult{"SetupDefoult", "Setup", {8, 228, 352, 25}, "Прошить по умолчанию", false};
  Button SetupWrite{"SetupWrite", "Setup", {8, 260, 352, 25}, "Прошить настройки", false};
  Label SetupNote{"SetupNote", "Setup", {8, 296, 352, 34}, "После прошивки настроек программатор необходимо переподключить.",
                  Label::Style::Warning};

 private:
  FormContext& ctx_;
};

}  // namespace pw
