#pragma once
/// @file
/// One page of the window as the window goes through its pages: its name, its model, its tab and
/// the type list it remembers between runs. The window keeps one list of them.

#include <string>

#include "model/Controls.h"
#include "model/PageModel.h"

namespace pw {

struct PageEntry {
  /// The page's short name: the command line's page name and the key it is remembered by.
  std::string Name;
  PageModel* Page = nullptr;
  TabSheet* Sheet = nullptr;
  /// The drop-down of device types whose choice the window remembers; none for a page without.
  ComboBox* TypeList = nullptr;
};

}  // namespace pw
