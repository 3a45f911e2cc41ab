#pragma once
/// @file
/// Texts shown by more than one part of the window.

#include "hexfile/HexTexts.h"

namespace pw::texts {

inline constexpr const char* kNoProgrammer = "Ошибка выполнения. Возможно не подключен программатор";
// kFileNotFound comes with the HEX reader that raises it (hexfile/HexTexts.h).

}  // namespace pw::texts
