#pragma once
/// @file
/// The hints the window shows as tooltips, by control name: every control that carries one is
/// listed here and nowhere else.

#include <string_view>

namespace pw::gui {

struct ControlHint {
  std::string_view Control;
  std::string_view Text;
};

inline constexpr ControlHint kControlHints[] = {
    {"AvrLoadFls", "Открыть файл с прошивкой с диска на компьютере"},
};

}  // namespace pw::gui
