#pragma once
/// @file
/// The window's controls as plain data. Each page model holds its controls as members named
/// like the window's widgets; the Qt window builds and refreshes its widgets from them, the CLI
/// and the tests read them directly.

#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace pw {

/// Position and size in pixels, relative to the parent.
struct Bounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

struct ControlBase {
  ControlBase(std::string name, std::string parent, Bounds box)
      : Name(std::move(name)), Parent(std::move(parent)), Box(box) {}
  std::string Name;
  /// The page or group the control sits on.
  std::string Parent;
  Bounds Box;
  bool Enabled = true;
};

/// The page control; its pages are the TabSheets whose parent it is.
struct PageControl : ControlBase {
  PageControl(std::string name, std::string parent, Bounds box)
      : ControlBase(std::move(name), std::move(parent), box) {}
  /// Index of the page shown.
  int ActivePageIndex = 0;
};

/// A page of the page control.
struct TabSheet : ControlBase {
  TabSheet(std::string name, std::string caption, std::function<void()> onShow = nullptr)
      : ControlBase(std::move(name), "PageControl1", {}), Caption(std::move(caption)), OnShow(std::move(onShow)) {}
  std::string Caption;
  std::function<void()> OnShow;
};

struct GroupBox : ControlBase {
  GroupBox(std::string name, std::string parent, Bounds box, std::string caption)
      : ControlBase(std::move(name), std::move(parent), box), Caption(std::move(caption)) {}
  std::string Caption;
};

struct Button : ControlBase {
  Button(std::string name, std::string parent, Bounds box, std::string caption, bool enabled = true)
      : ControlBase(std::move(name), std::move(parent), box), Caption(std::move(caption)) {
    Enabled = enabled;
  }
  /// A button that runs onClick: a page declares each button with the handler it runs.
  Button(std::string name, std::string parent, Bounds box, std::string caption, std::function<void()> onClick,
         bool enabled = true)
      : Button(std::move(name), std::move(parent), box, std::move(caption), enabled) {
    OnClick = std::move(onClick);
  }
  std::string Caption;
  std::function<void()> OnClick;
  /// The click is taken while an operation runs, outside the operation frame (it starts none).
  bool RunsWhileBusy = false;
};

struct CheckBox : ControlBase {
  CheckBox(std::string name, std::string parent, Bounds box, std::string caption)
      : ControlBase(std::move(name), std::move(parent), box), Caption(std::move(caption)) {}
  std::string Caption;
  bool Checked = false;
};

/// A drop-down. An editable one shows Text, which a person can type; a pick-list shows the
/// selected entry. ItemIndex -1: nothing selected.
struct ComboBox : ControlBase {
  ComboBox(std::string name, std::string parent, Bounds box, std::string text, bool editable = true,
           std::function<void()> onChange = nullptr)
      : ControlBase(std::move(name), std::move(parent), box),
        Text(std::move(text)),
        Editable(editable),
        OnChange(std::move(onChange)) {}
  std::vector<std::string> Items;
  int ItemIndex = -1;
  std::string Text;
  bool Editable = true;
  /// Runs when a person changes the choice or the text.
  std::function<void()> OnChange;

  /// Selects entry index (its text becomes Text) without running OnChange; -1 clears the choice.
  void Select(int index);
  /// Removes every entry and the choice.
  void ClearItems();
};

struct Edit : ControlBase {
  Edit(std::string name, std::string parent, Bounds box, std::string text = "", bool readOnly = false)
      : ControlBase(std::move(name), std::move(parent), box), Text(std::move(text)), ReadOnly(readOnly) {}
  std::string Text;
  bool ReadOnly = false;
};

struct Label : ControlBase {
  enum class Style { Normal, Warning };
  Label(std::string name, std::string parent, Bounds box, std::string caption, Style style = Style::Normal)
      : ControlBase(std::move(name), std::move(parent), box), Caption(std::move(caption)), Look(style) {}
  std::string Caption;
  Style Look = Style::Normal;
};

struct ProgressBar : ControlBase {
  ProgressBar(std::string name, std::string parent, Bounds box)
      : ControlBase(std::move(name), std::move(parent), box) {}
  int Min = 0;
  int Max = 100;
  int Position = 0;
};

/// A multi-line text box; the log is one.
struct Memo : ControlBase {
  Memo(std::string name, std::string parent, Bounds box) : ControlBase(std::move(name), std::move(parent), box) {}
  std::vector<std::string> Lines;
  /// How often the memo was cleared: lets a view that was not watching notice a clear.
  std::size_t Clears = 0;
  /// Observers: the CLI prints lines as they come, the window scrolls.
  std::function<void(const std::string&)> OnAppend;
  std::function<void()> OnClear;

  void Append(const std::string& line);
  void Clear();
};

using ControlRef =
    std::variant<PageControl*, TabSheet*, GroupBox*, Button*, CheckBox*, ComboBox*, Edit*, Label*, ProgressBar*, Memo*>;

/// The name every control kind carries.
const std::string& NameOf(const ControlRef& control);
const ControlBase& BaseOf(const ControlRef& control);

}  // namespace pw
