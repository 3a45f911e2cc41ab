#pragma once
/// @file
/// Where the window's image files go: per page, the button that opens a file, the label that
/// shows its path, and the controls around them. A file dropped on one of those controls goes
/// to that button; dropped elsewhere on the page, to the page's first button here.

#include <array>
#include <string_view>

namespace pw::gui {

struct FileTarget {
  /// The page (tab sheet) the target sits on.
  std::string_view Page;
  /// The file button whose click loads the file.
  std::string_view Button;
  /// The label showing the loaded file's path.
  std::string_view PathLabel;
  /// Further controls that stand for this file rather than for the page's first one.
  std::array<std::string_view, 4> Area;

  /// Whether name is the button, the path label or one of the area's controls.
  constexpr bool Covers(std::string_view name) const {
    if (name.empty()) return false;
    if (name == Button || name == PathLabel) return true;
    for (std::string_view a : Area) {
      if (a == name) return true;
    }
    return false;
  }
};

inline constexpr FileTarget kFileTargets[] = {
    {"AvrSpi", "AvrLoadFls", "AvrPathFls", {"AvrWriteFls", "AvrReadFls", "AvrParamFls", "AvrVerifyFls"}},
    {"AvrSpi", "AvrLoadEep", "AvrPathEep", {"AvrWriteEep", "AvrReadEep", "AvrParamEep", "AvrVerifyEep"}},
    {"PIC", "PicFile", "PicPathFls", {}},
    {"I2cEepom", "I2cEepromFile", "I2cEepromLab1", {}},
    {"SpiFlash", "SpiFlashFile", "SpiFlashLab1", {}},
};

/// Whether the label named name shows a file's path.
constexpr bool IsPathLabel(std::string_view name) {
  for (const FileTarget& t : kFileTargets) {
    if (t.PathLabel == name) return true;
  }
  return false;
}

}  // namespace pw::gui
