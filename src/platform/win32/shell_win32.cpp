// The taskbar's windows belong to the shell's process; they are found by class and title
// converted from CP936, so the Chinese title matches whatever the ANSI code page is.
#include <windows.h>

#include "platform/win32/backends.h"
#include "platform/win32/wide_text.h"

namespace zelv::win32 {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle FromHwnd(HWND window) { return reinterpret_cast<WindowHandle>(window); }

class ShellWindows final : public IShellWindows {
 public:
  WindowHandle FindWindowEx(WindowHandle parent, const Text& className, const Text& title) override {
    // An empty title must stay L"", not NULL: NULL would match any title.
    const std::wstring wideClass = ToWide(className);
    const std::wstring wideTitle = ToWide(title);
    return FromHwnd(::FindWindowExW(ToHwnd(parent), nullptr, wideClass.c_str(), wideTitle.c_str()));
  }

  bool GetWindowRect(WindowHandle window, Rect& rect) override {
    RECT r;
    if (window == 0 || !::GetWindowRect(ToHwnd(window), &r)) return false;
    rect = Rect{r.left, r.top, r.right, r.bottom};
    return true;
  }

  WindowHandle SetParent(WindowHandle child, WindowHandle newParent) override {
    return FromHwnd(::SetParent(ToHwnd(child), ToHwnd(newParent)));
  }

  bool MoveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint) override {
    if (window == 0) return false;
    return ::MoveWindow(ToHwnd(window), x, y, width, height, repaint ? TRUE : FALSE) != FALSE;
  }

  WindowHandle GetParent(WindowHandle window) override {
    if (window == 0) return 0;
    const HWND parent = ::GetAncestor(ToHwnd(window), GA_PARENT);
    // A top-level window's parent is the desktop, which the core calls "none".
    return parent == ::GetDesktopWindow() ? 0 : FromHwnd(parent);
  }
};

}  // namespace

std::unique_ptr<IShellWindows> MakeShellWindows() { return std::make_unique<ShellWindows>(); }

}  // namespace zelv::win32
