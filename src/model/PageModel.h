#pragma once
/// @file
/// What every page of the window is: a model of its controls over the window's shared context,
/// set up at start-up, listing its controls for the window to draw. A page declares each control
/// with the handler it runs (the control's OnClick, OnShow or OnChange).

#include <vector>

#include "model/Controls.h"
#include "model/FormContext.h"

namespace pw {

class PageModel {
 public:
  explicit PageModel(FormContext& context) : ctx_(context) {}
  PageModel(const PageModel&) = delete;
  PageModel& operator=(const PageModel&) = delete;
  virtual ~PageModel() = default;

  /// Sets the page up when the window is created.
  virtual void Startup() = 0;
  /// The page and every control on it, parents before children.
  virtual std::vector<ControlRef> Controls() = 0;

 protected:
  FormContext& ctx_;
};

}  // namespace pw
