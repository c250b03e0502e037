#pragma once
// Drives the real Trimbelle.exe from outside, as a user or the shell would: processes, windows
// found by class and text, their geometry and parents, keys posted to them. Everything that
// waits takes a time limit, so a hung program fails a test instead of hanging the run.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zelv::e2e {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;

// Polls `done` until it holds or `limit` has passed; true when it held.
bool WaitUntil(const std::function<bool()>& done, Duration limit, Duration every = 50ms);

// Owns a kernel handle. The driver keeps its own so the tests stay independent of the
// program's sources.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE h) noexcept : h_(h) {}
  ~OwnedHandle() { reset(); }
  OwnedHandle(OwnedHandle&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
  OwnedHandle& operator=(OwnedHandle&& o) noexcept {
    if (this != &o) {
      reset(o.h_);
      o.h_ = nullptr;
    }
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != nullptr; }
  void reset(HANDLE h = nullptr) noexcept {
    if (h_) CloseHandle(h_);
    h_ = h;
  }

 private:
  HANDLE h_ = nullptr;
};

class Process {
 public:
  Process() = default;
  // Starts `exe` with `args` (appended to the quoted program name) in `directory`
  // (empty: the exe's own directory). Empty on failure; error() has GetLastError.
  static Process Launch(const std::filesystem::path& exe, const std::wstring& args = L"",
                        const std::filesystem::path& directory = {});

  explicit operator bool() const noexcept { return static_cast<bool>(process_); }
  DWORD id() const noexcept { return id_; }
  DWORD error() const noexcept { return error_; }
  HANDLE handle() const noexcept { return process_.get(); }
  bool Running() const;
  // The exit code, or nothing if the process is still running after `limit`.
  std::optional<DWORD> WaitForExit(Duration limit);
  // Last resort for a process that did not end; the exit code is then 0xDEAD.
  void Kill();

 private:
  OwnedHandle process_;
  DWORD id_ = 0;
  DWORD error_ = 0;
};

// Window queries. Texts cross as UTF-16.
std::wstring ClassOf(HWND hwnd);
// WM_GETTEXT with a time limit, so a hung window cannot hang the test.
std::wstring TextOf(HWND hwnd);
RECT RectOf(HWND hwnd);
HWND ParentOf(HWND hwnd);  // GetAncestor(GA_PARENT): the desktop for a top-level window
DWORD ProcessOf(HWND hwnd);
bool IsTopLevel(HWND hwnd);

// Top-level windows of the class (and, if given, the title) owned by process `pid`
// (0: any process), in z-order.
std::vector<HWND> TopWindows(const std::wstring& cls, const std::optional<std::wstring>& title = {},
                             DWORD pid = 0);
// Waits for the first such window; nullptr after `limit`.
HWND WaitForTopWindow(const std::wstring& cls, const std::optional<std::wstring>& title, DWORD pid,
                      Duration limit);
// A direct child of `parent` with the class (and, if given, the text); nullptr if none.
HWND FindChild(HWND parent, const std::wstring& cls, const std::optional<std::wstring>& text = {});

// Right press on the meter, then the row (1 = the first) of its popup chosen with the
// keyboard, as the driver cannot read or click the items of another process's menu.
bool ChooseMenuRow(HWND meter, int row);
// The text of the process's message box, which is then closed with OK; empty if none came.
std::wstring DismissMessageBox(DWORD pid, Duration limit);
// How many of the window's pixels on the screen satisfy `test` (r, g, b); the window must be
// unobscured.
int CountPixels(HWND hwnd, const std::function<bool(int, int, int)>& test);

// Posts a key press and release, as the keyboard would reach the focused window.
bool PostKey(HWND hwnd, UINT vk);
bool PostClose(HWND hwnd);

// Paths the runner passes in the environment, with the build tree's layout as a fallback
// for running e2e_tests.exe by hand.
std::filesystem::path TrimbellePath();
std::filesystem::path TestTaskbarPath();
std::filesystem::path PublisherPath();
std::filesystem::path TestBrowserPath();
std::optional<std::string> Env(const char* name);

// A fresh directory with its own copy of Trimbelle.exe, so files written beside the program
// (colours, scripts) never leak from one test into the next. Removed on destruction.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  explicit operator bool() const noexcept { return !exe_.empty(); }
  const std::filesystem::path& dir() const noexcept { return dir_; }
  const std::filesystem::path& exe() const noexcept { return exe_; }
  Process Launch(const std::wstring& args = L"") const { return Process::Launch(exe_, args, dir_); }

 private:
  std::filesystem::path dir_;
  std::filesystem::path exe_;
};

// The stand-in taskbar ("Shell_TrayWnd" -> "ReBarWindow32" -> "MSTaskSwWClass").
class TestTaskbar {
 public:
  TestTaskbar() = default;
  ~TestTaskbar();
  TestTaskbar(const TestTaskbar&) = delete;
  TestTaskbar& operator=(const TestTaskbar&) = delete;

  // Width 0: the screen's width. Waits until the whole window tree exists.
  bool Start(int width = 0, int height = 40);
  // Returns once the taskbar has taken the new size.
  bool Resize(int width, int height);
  // Closes it and waits for its exit code.
  std::optional<DWORD> Stop();

  HWND tray() const noexcept { return tray_; }
  HWND rebar() const noexcept { return rebar_; }
  HWND tasks() const noexcept { return tasks_; }

 private:
  Process process_;
  HWND tray_ = nullptr;
  HWND rebar_ = nullptr;
  HWND tasks_ = nullptr;
};

}  // namespace zelv::e2e
