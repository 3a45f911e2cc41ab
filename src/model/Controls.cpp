#include "model/Controls.h"

namespace pw {

void ComboBox::Select(int index) {
  if (index < 0 || index >= static_cast<int>(Items.size())) {
    ItemIndex = -1;
    return;
  }
  ItemIndex = index;
  Text = Items[static_cast<std::size_t>(index)];
}

void ComboBox::ClearItems() {
  Items.clear();
  ItemIndex = -1;
}

void Memo::Append(const std::string& line) {
  Lines.push_back(line);
  if (OnAppend) OnAppend(line);
}

void Memo::Clear() {
  Lines.clear();
  ++Clears;
  if (OnClear) OnClear();
}

const ControlBase& BaseOf(const ControlRef& control) {
  return std::visit([](auto* c) -> const ControlBase& { return *c; }, control);
}

const std::string& NameOf(const ControlRef& control) { return BaseOf(control).Name; }

}  // namespace pw
