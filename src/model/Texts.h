#pragma once
/// @file
/// Texts shown by more than one part of the window.

#include <string>

#include "hexfile/HexTexts.h"

namespace pw::texts {

inline constexpr const char* kNoProgrammer = "Ошибка выполнения. Возможно не подключен программатор";
/// A write stopped after it had changed the chip; operation is the button to press again.
inline std::string PartlyWritten(const std::string& operation) {
  return "Внимание! Запись прервана: микросхема могла остаться записанной частично. Повторите \"" + operation + "\"";
}
/// A write was asked for while no file has put data into the image.
inline constexpr const char* kNothingToWrite = "Ошибка: нет данных для записи, сначала загрузите HEX-файл";
// kFileNotFound comes with the HEX reader that raises it (hexfile/HexTexts.h).

}  // namespace pw::texts
