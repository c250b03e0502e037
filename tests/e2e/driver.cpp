#include "driver.h"

#include <cstdlib>
#include <system_error>
#include <thread>

namespace zelv::e2e {

namespace fs = std::filesystem;

bool WaitUntil(const std::function<bool()>& done, Duration limit, Duration every) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(every);
  }
}

Process Process::Launch(const fs::path& exe, const std::wstring& args, const fs::path& directory) {
  Process p;
  std::wstring cmdline = L"\"" + exe.wstring() + L"\"";
  if (!args.empty()) cmdline += L" " + args;
  const fs::path dir = directory.empty() ? exe.parent_path() : directory;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  std::vector<wchar_t> buffer(cmdline.begin(), cmdline.end());
  buffer.push_back(L'\0');
  if (!CreateProcessW(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
    p.error_ = GetLastError();
    return p;
  }
  CloseHandle(pi.hThread);
  p.process_.reset(pi.hProcess);
  p.id_ = pi.dwProcessId;
  return p;
}

bool Process::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::WaitForExit(Duration limit) {
  if (!process_) return std::nullopt;
  if (WaitForSingleObject(process_.get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

void Process::Kill() {
  if (Running()) {
    TerminateProcess(process_.get(), 0xDEAD);
    WaitForSingleObject(process_.get(), 5000);
  }
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  const int n = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, n > 0 ? n : 0);
}

std::wstring TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return {};
  }
  text.resize(copied < text.size() ? copied : text.size() - 1);
  return text;
}

RECT RectOf(HWND hwnd) {
  RECT rc{};
  GetWindowRect(hwnd, &rc);
  return rc;
}

HWND ParentOf(HWND hwnd) { return GetAncestor(hwnd, GA_PARENT); }

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

bool IsTopLevel(HWND hwnd) { return ParentOf(hwnd) == GetDesktopWindow(); }

std::vector<HWND> TopWindows(const std::wstring& cls, const std::optional<std::wstring>& title, DWORD pid) {
  std::vector<HWND> found;
  HWND at = nullptr;
  while ((at = FindWindowExW(nullptr, at, cls.c_str(), nullptr)) != nullptr) {
    if (pid != 0 && ProcessOf(at) != pid) continue;
    if (title && TextOf(at) != *title) continue;
    found.push_back(at);
  }
  return found;
}

HWND WaitForTopWindow(const std::wstring& cls, const std::optional<std::wstring>& title, DWORD pid,
                      Duration limit) {
  HWND hwnd = nullptr;
  WaitUntil(
      [&] {
        const auto all = TopWindows(cls, title, pid);
        hwnd = all.empty() ? nullptr : all.front();
        return hwnd != nullptr;
      },
      limit);
  return hwnd;
}

HWND FindChild(HWND parent, const std::wstring& cls, const std::optional<std::wstring>& text) {
  HWND at = nullptr;
  while ((at = FindWindowExW(parent, at, cls.c_str(), nullptr)) != nullptr) {
    if (!text || TextOf(at) == *text) return at;
  }
  return nullptr;
}

bool PostKey(HWND hwnd, UINT vk) {
  const UINT scan = MapVirtualKeyW(vk, 0 /* MAPVK_VK_TO_VSC */);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  return PostMessageW(hwnd, WM_KEYDOWN, vk, down) && PostMessageW(hwnd, WM_KEYUP, vk, up);
}

bool PostClose(HWND hwnd) { return PostMessageW(hwnd, WM_CLOSE, 0, 0) != 0; }

bool ChooseMenuRow(HWND meter, int row) {
  PostMessageW(meter, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
  PostMessageW(meter, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
  HWND popup = nullptr;
  const DWORD pid = ProcessOf(meter);
  if (!WaitUntil(
          [&] {
            popup = FindWindowW(L"#32768", nullptr);
            return popup && IsWindowVisible(popup) && ProcessOf(popup) == pid;
          },
          5s))
    return false;
  for (int i = 0; i < row; ++i) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
  return true;
}

std::wstring DismissMessageBox(DWORD pid, Duration limit) {
  HWND box = WaitForTopWindow(L"#32770", std::nullopt, pid, limit);
  if (!box) return {};
  // The box may be found while its dialog is still creating its controls.
  std::wstring text;
  WaitUntil(
      [&] {
        HWND label = GetDlgItem(box, 0xFFFF);
        if (label) text = TextOf(label);
        return !text.empty();
      },
      limit);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return text;
}

int CountPixels(HWND hwnd, const std::function<bool(int, int, int)>& test) {
  const RECT r = RectOf(hwnd);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return 0;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  int count = 0;
  if (bitmap && memory) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    const auto* pixel = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < width * height; ++i, pixel += 4)
      if (test(pixel[2], pixel[1], pixel[0])) ++count;
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return count;
}

std::optional<std::string> Env(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

namespace {

fs::path OwnDirectory() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(std::wstring(path, n)).parent_path();
}

// Environment values are read wide, so paths with Chinese characters survive.
fs::path EnvPath(const wchar_t* name, const fs::path& fallback) {
  wchar_t value[4096] = {};
  const DWORD n = GetEnvironmentVariableW(name, value, 4096);
  if (n > 0 && n < 4096) return fs::path(std::wstring(value, n));
  return fallback;
}

}  // namespace

fs::path TrimbellePath() {
  // In the build tree e2e_tests.exe is in tests/e2e/ and Trimbelle.exe in src/.
  return EnvPath(L"ZELV_TRIMBELLE", OwnDirectory() / L".." / L".." / L"src" / L"Trimbelle.exe");
}

fs::path TestTaskbarPath() { return EnvPath(L"ZELV_TEST_TASKBAR", OwnDirectory() / L"test_taskbar.exe"); }

fs::path TestBrowserPath() { return EnvPath(L"ZELV_TEST_BROWSER", OwnDirectory() / L"test_browser.exe"); }

fs::path PublisherPath() {
  return EnvPath(L"ZELV_PUBLISH",
                 OwnDirectory() / L".." / L".." / L"tools" / L"publisher" / L"zelv_publish.exe");
}

Sandbox::Sandbox() {
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) return;
  const DWORD pid = GetCurrentProcessId();
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / (L"zelv-e2e-" + std::to_wstring(pid) + L"-" + std::to_wstring(++counter));
    if (fs::create_directory(candidate, ec)) {
      dir_ = candidate;
      break;
    }
  }
  if (dir_.empty()) return;
  const fs::path target = dir_ / L"Trimbelle.exe";
  if (fs::copy_file(TrimbellePath(), target, ec)) exe_ = target;
}

Sandbox::~Sandbox() {
  if (dir_.empty()) return;
  std::error_code ec;
  // A program that was just killed may hold its image a moment longer.
  WaitUntil([&] { return fs::remove_all(dir_, ec) != static_cast<std::uintmax_t>(-1) && !ec; }, 3s, 100ms);
}

TestTaskbar::~TestTaskbar() {
  if (process_.Running()) {
    if (!Stop()) process_.Kill();
  }
}

bool TestTaskbar::Start(int width, int height) {
  std::wstring args = L"--height " + std::to_wstring(height);
  if (width > 0) args += L" --width " + std::to_wstring(width);
  process_ = Process::Launch(TestTaskbarPath(), args);
  if (!process_) return false;
  const bool ready = WaitUntil(
      [&] {
        tray_ = nullptr;
        for (HWND t : TopWindows(L"Shell_TrayWnd", std::nullopt, process_.id())) tray_ = t;
        rebar_ = tray_ ? FindChild(tray_, L"ReBarWindow32") : nullptr;
        tasks_ = rebar_ ? FindChild(rebar_, L"MSTaskSwWClass") : nullptr;
        return tasks_ != nullptr && IsWindowVisible(tray_);
      },
      10s);
  return ready;
}

bool TestTaskbar::Resize(int width, int height) {
  static const UINT message = RegisterWindowMessageW(L"ZelvTestTaskbarResize");
  DWORD_PTR result = 0;
  if (!tray_ || !SendMessageTimeoutW(tray_, message, static_cast<WPARAM>(width), static_cast<LPARAM>(height),
                                     SMTO_ABORTIFHUNG, 5000, &result)) {
    return false;
  }
  return WaitUntil(
      [&] {
        const RECT rc = RectOf(tray_);
        return rc.right - rc.left == width && rc.bottom - rc.top == height;
      },
      5s);
}

std::optional<DWORD> TestTaskbar::Stop() {
  if (!process_) return std::nullopt;
  if (tray_) PostClose(tray_);
  auto code = process_.WaitForExit(10s);
  tray_ = rebar_ = tasks_ = nullptr;
  return code;
}

}  // namespace zelv::e2e
