#pragma once
/// @file
/// One page of the window as the window goes through its pages: its tab, its start-up, its
/// controls and the type list it remembers between runs. The window keeps one list of them.

#include <functional>
#include <string>
#include <vector>

#include "model/Controls.h"

namespace pw {

struct PageEntry {
  /// The page's short name: the command line's page name and the key it is remembered by.
  std::string Name;
  TabSheet* Sheet = nullptr;
  /// Sets the page up when the window is created.
  std::function<void()> Startup;
  /// The page and every control on it, parents before children.
  std::function<std::vector<ControlRef>()> Controls;
  /// The drop-down of device types whose choice the window remembers; none for a page without.
  ComboBox* TypeList = nullptr;
};

/// The entry for page, a page model with a Startup() and a Controls().
template <typename Page>
PageEntry EntryOf(std::string name, Page& page, TabSheet& sheet, ComboBox* typeList = nullptr) {
  return {std::move(name), &sheet, [&page] { page.Startup(); }, [&page] { return page.Controls(); }, typeList};
}

}  // namespace pw
