#pragma once
// A tree of windows of other processes (the taskbar and its children) with screen
// rectangles, classes and titles. SetParent and MoveWindow are recorded and applied, so a
// test can read both what was called and where the windows ended up.
#include <map>
#include <set>
#include <vector>

#include "fakes/call_log.h"
#include "platform/shell.h"

namespace zelv::fakes {

struct FakeWindow {
  WindowHandle parent = 0;
  Text className;
  Text title;
  Rect rect;  // screen coordinates
};

struct MoveCall {
  WindowHandle window = 0;
  int x = 0, y = 0, width = 0, height = 0;
  bool repaint = false;
};

class FakeShellWindows final : public IShellWindows {
 public:
  explicit FakeShellWindows(CallLog* log = nullptr) : log_(log) {}

  WindowHandle FindWindowEx(WindowHandle parent, const Text& className, const Text& title) override;
  bool GetWindowRect(WindowHandle window, Rect& rect) override;
  WindowHandle SetParent(WindowHandle child, WindowHandle newParent) override;
  bool MoveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint) override;
  WindowHandle GetParent(WindowHandle window) override;

  // Adds a window; the one added last is found first among equals, as on the desktop.
  WindowHandle Add(WindowHandle parent, const Text& className, const Text& title, Rect rect);
  // Registers a window of the program itself (the main window) under a known handle.
  void AddOwn(WindowHandle handle, Rect rect);
  void Remove(WindowHandle window);  // with its children
  void SetRect(WindowHandle window, Rect rect) { windows_[window].rect = rect; }
  [[nodiscard]] const FakeWindow& Window(WindowHandle window) const { return windows_.at(window); }

  std::vector<std::pair<WindowHandle, WindowHandle>> setParentCalls;  // child, new parent
  std::vector<MoveCall> moveCalls;

 private:
  void Log(const std::string& entry) {
    if (log_) log_->Add(entry);
  }
  CallLog* log_;
  std::map<WindowHandle, FakeWindow> windows_;
  std::vector<WindowHandle> order_;  // creation order
  std::set<WindowHandle> own_;
  WindowHandle next_ = 0x10000;  // clear of the forms fake's handles
};

}  // namespace zelv::fakes
