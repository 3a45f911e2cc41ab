#pragma once
/// @file
/// What a person would see as a fault in the window's layout: a caption that does not fit its
/// control, and controls lying over one another or over their parent's edge.

#include <QWidget>
#include <string>
#include <vector>

namespace pw::test {

/// One line per fault among the visible controls: a text wider or taller than the room its
/// control's style leaves for it (a path label may shorten its text if its tooltip holds the
/// whole), two sibling controls that intersect, a control outside its parent or over its
/// group box's caption.
std::vector<std::string> LayoutFaults(const std::vector<QWidget*>& controls);

}  // namespace pw::test
