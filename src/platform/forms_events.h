#pragma once
// What the forms run time reports to the core. All calls arrive on the UI thread.
#include "platform/forms.h"

namespace zelv {

class IFormsEvents {
 public:
  virtual ~IFormsEvents() = default;
  // The main window and all its controls exist (raised while the window is created).
  virtual void OnMainWindowCreated() = 0;
  virtual void OnLeftButtonDown(Widget widget) = 0;
  virtual void OnRightButtonDown(Widget widget) = 0;
  virtual void OnMouseMove(Widget widget) = 0;
  // The refresh timer 任务栏_刷新位置 fired.
  virtual void OnTimer() = 0;
};

}  // namespace zelv
