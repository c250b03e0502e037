// A stand-in for the Windows 10 taskbar, for docking scenarios under Wine: Wine's own
// "Shell_TrayWnd" is hidden and has no rebar, so the program under test would find nothing
// to dock into.
//
//   test_taskbar.exe [--width N] [--height N]     defaults: screen width, 40
//
// The window tree is "Shell_TrayWnd" (no title) -> "ReBarWindow32" (no title) ->
// "MSTaskSwWClass" titled "运行中的应用程序", along the bottom edge of the screen.
// A driver resizes it by sending the registered message "ZelvTestTaskbarResize"
// (wParam = width, lParam = height; 0 keeps the current value); WM_CLOSE ends it.
#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace {

constexpr wchar_t kResizeMessage[] = L"ZelvTestTaskbarResize";
// Room the real taskbar keeps for the start button on the left and the tray on the right;
// the rebar (where the meter docks) lies between them.
constexpr int kStartButtonWidth = 48;
constexpr int kTrayWidth = 160;

UINT g_resize_message = 0;
HWND g_rebar = nullptr;
HWND g_tasks = nullptr;

void LayOut(HWND tray) {
  RECT rc{};
  GetClientRect(tray, &rc);
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  int rebar_width = width - kStartButtonWidth - kTrayWidth;
  if (rebar_width < 0) rebar_width = 0;
  MoveWindow(g_rebar, kStartButtonWidth, 0, rebar_width, height, TRUE);
  MoveWindow(g_tasks, 0, 0, rebar_width, height, TRUE);
}

void PlaceAtBottom(HWND tray, int width, int height) {
  const int screen_height = GetSystemMetrics(SM_CYSCREEN);
  SetWindowPos(tray, HWND_TOPMOST, 0, screen_height - height, width, height, SWP_NOACTIVATE);
}

LRESULT CALLBACK TrayProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == g_resize_message && g_resize_message != 0) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    const int width = wp ? static_cast<int>(wp) : rc.right - rc.left;
    const int height = lp ? static_cast<int>(lp) : rc.bottom - rc.top;
    PlaceAtBottom(hwnd, width, height);
    return 1;
  }
  switch (msg) {
    case WM_SIZE:
      if (g_rebar && g_tasks) LayOut(hwnd);
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

bool Register(HINSTANCE instance, const wchar_t* name, WNDPROC proc, COLORREF colour) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = CreateSolidBrush(colour);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

// Reads "--name N" from the command line; a missing or malformed value keeps the default.
int Option(const wchar_t* cmdline, const wchar_t* name, int fallback) {
  const wchar_t* at = std::wcsstr(cmdline, name);
  if (!at) return fallback;
  at += std::wcslen(name);
  while (*at == L' ' || *at == L'=') ++at;
  if (!std::iswdigit(*at)) return fallback;
  const long value = std::wcstol(at, nullptr, 10);
  return value > 0 && value < 100000 ? static_cast<int>(value) : fallback;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR cmdline, int) {
  const int width = Option(cmdline, L"--width", GetSystemMetrics(SM_CXSCREEN));
  const int height = Option(cmdline, L"--height", 40);
  g_resize_message = RegisterWindowMessageW(kResizeMessage);

  if (!Register(instance, L"Shell_TrayWnd", TrayProc, RGB(32, 32, 32)) ||
      !Register(instance, L"ReBarWindow32", DefWindowProcW, RGB(48, 48, 48)) ||
      !Register(instance, L"MSTaskSwWClass", DefWindowProcW, RGB(40, 40, 56))) {
    return 2;
  }
  HWND tray = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, width,
                              height, nullptr, nullptr, instance, nullptr);
  if (!tray) return 3;
  g_rebar = CreateWindowExW(0, L"ReBarWindow32", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                            tray, nullptr, instance, nullptr);
  g_tasks = CreateWindowExW(0, L"MSTaskSwWClass", L"运行中的应用程序", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                            g_rebar, nullptr, instance, nullptr);
  if (!g_rebar || !g_tasks) return 4;
  PlaceAtBottom(tray, width, height);
  LayOut(tray);
  ShowWindow(tray, SW_SHOWNOACTIVATE);
  UpdateWindow(tray);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
