#pragma once
/// @file
/// The "SPI Flash" page: it can be shown, and nothing on it can be used yet.

#include <vector>

#include "model/Controls.h"

namespace pw {

struct SpiFlashPage {
  SpiFlashPage();
  std::vector<ControlRef> Controls();

  TabSheet SpiFlash{"SpiFlash", "SPI Flash"};
  ComboBox SpiFlashType{"SpiFlashType", "SpiFlash", {8, 8, 150, 21}, "SPI Flash Type"};
  Button SpiFlashFile{"SpiFlashFile", "SpiFlash", {8, 38, 112, 25}, "Файл", false};
  Button SpiFlashRead{"SpiFlashRead", "SpiFlash", {126, 38, 112, 25}, "Cчитать", false};
  Button SpiFlashWrite{"SpiFlashWrite", "SpiFlash", {244, 38, 116, 25}, "Прошить", false};
  Button SpiFlashErase{"SpiFlashErase", "SpiFlash", {244, 68, 116, 25}, "Стереть чип", false};
  Label SpiFlashLab1{"SpiFlashLab1", "SpiFlash", {8, 100, 352, 15}, "Path"};
  Label SpiFlashLab2{"SpiFlashLab2", "SpiFlash", {8, 118, 352, 15}, "Dop"};
  ProgressBar SpiProgress{"SpiProgress", "SpiFlash", {8, 140, 352, 17}};
};

}  // namespace pw
