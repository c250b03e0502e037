#include "fakes/fake_shell.h"

#include <algorithm>

namespace zelv::fakes {

WindowHandle FakeShellWindows::Add(WindowHandle parent, const Text& className, const Text& title, Rect rect) {
  const WindowHandle handle = next_;
  next_ += 0x10;
  windows_[handle] = {parent, className, title, rect};
  order_.push_back(handle);
  return handle;
}

void FakeShellWindows::AddOwn(WindowHandle handle, Rect rect) {
  windows_[handle] = {0, "Zelv Monitor", "Zelv Monitor", rect};
  own_.insert(handle);
  order_.push_back(handle);
}

void FakeShellWindows::Remove(WindowHandle window) {
  std::vector<WindowHandle> children;
  for (const auto& [handle, w] : windows_)
    if (w.parent == window) children.push_back(handle);
  for (WindowHandle child : children) {
    // The program's own window outlives the shell's, orphaned, so a test can see what the
    // program does about it.
    if (own_.count(child)) {
      windows_[child].parent = 0;
      continue;
    }
    Remove(child);
  }
  windows_.erase(window);
  order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
}

WindowHandle FakeShellWindows::FindWindowEx(WindowHandle parent, const Text& className, const Text& title) {
  Log("FindWindowEx(" + className + ")");
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    const FakeWindow& w = windows_.at(*it);
    if (w.parent == parent && w.className == className && w.title == title) return *it;
  }
  return 0;
}

bool FakeShellWindows::GetWindowRect(WindowHandle window, Rect& rect) {
  const auto it = windows_.find(window);
  if (it == windows_.end()) return false;
  rect = it->second.rect;
  return true;
}

WindowHandle FakeShellWindows::SetParent(WindowHandle child, WindowHandle newParent) {
  Log("SetParent");
  setParentCalls.emplace_back(child, newParent);
  const auto it = windows_.find(child);
  if (it == windows_.end() || (newParent != 0 && windows_.count(newParent) == 0)) return 0;
  const WindowHandle previous = it->second.parent;
  it->second.parent = newParent;
  return previous;
}

bool FakeShellWindows::MoveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint) {
  Log("MoveWindow");
  moveCalls.push_back({window, x, y, width, height, repaint});
  const auto it = windows_.find(window);
  if (it == windows_.end()) return false;
  Rect origin;
  if (it->second.parent != 0) GetWindowRect(it->second.parent, origin);
  it->second.rect = {origin.left + x, origin.top + y, origin.left + x + width, origin.top + y + height};
  return true;
}

WindowHandle FakeShellWindows::GetParent(WindowHandle window) {
  const auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.parent;
}

}  // namespace zelv::fakes
