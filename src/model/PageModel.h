#pragma once
/// @file
/// What every page of the window is: a model of its controls over the window's shared context,
/// set up at start-up, listing its controls for the window to draw, its handlers connected to
/// its controls' events.

#include <functional>
#include <initializer_list>
#include <utility>
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
  /// An event of a control (its OnClick, OnShow or OnChange) and the handler of Page it runs.
  template <typename Page>
  using Handler = std::pair<std::function<void()>*, void (Page::*)()>;

  /// Connects each event to its handler on this page.
  template <typename Page>
  void Connect(std::initializer_list<Handler<Page>> handlers) {
    Page* page = static_cast<Page*>(this);
    for (const auto& [event, handler] : handlers) *event = [page, handler = handler] { (page->*handler)(); };
  }

  FormContext& ctx_;
};

}  // namespace pw
