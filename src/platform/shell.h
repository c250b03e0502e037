#pragma once
// Windows of other processes (the taskbar), found by class and title.
#include "platform/types.h"

namespace zelv {

class IShellWindows {
 public:
  virtual ~IShellWindows() = default;
  // FindWindowExA(parent, NULL, className, title); 0 when not found.
  [[nodiscard]] virtual WindowHandle FindWindowEx(WindowHandle parent, const Text& className,
                                                  const Text& title) = 0;
  // GetWindowRect in screen coordinates; false on failure (rect untouched).
  virtual bool GetWindowRect(WindowHandle window, Rect& rect) = 0;
  // SetParent(child, newParent); returns the previous parent or 0.
  virtual WindowHandle SetParent(WindowHandle child, WindowHandle newParent) = 0;
  // MoveWindow(window, x, y, width, height, repaint).
  virtual bool MoveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint) = 0;
  // The current parent (GetAncestor GA_PARENT semantics, 0 for a top-level window).
  [[nodiscard]] virtual WindowHandle GetParent(WindowHandle window) = 0;
};

}  // namespace zelv
