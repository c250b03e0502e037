// The meter and the shell from outside: docking into the stand-in taskbar, a second start,
// a start before the taskbar exists, and the exit, autostart and restart commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "driver.h"

namespace zelv::e2e {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kMainClass[] = L"Zelv Monitor";
constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr int kMeterWidth = 180;
// Menu rows from the top: 开机启动, 重启程序, 退出程序.
constexpr int kAutostartRow = 6;
constexpr int kRestartRow = 7;
constexpr int kExitRow = 8;

// Ends a meter the test started, whatever way the test leaves.
struct RunningMeter {
  Process process;
  ~RunningMeter() {
    if (process && process.Running()) process.Kill();
  }
};

HWND MeterOf(DWORD pid, const TestTaskbar* bar) {
  if (bar && bar->rebar()) {
    for (HWND child = FindWindowExW(bar->rebar(), nullptr, kMainClass, kMainClass); child;
         child = FindWindowExW(bar->rebar(), child, kMainClass, kMainClass))
      if (pid == 0 || ProcessOf(child) == pid) return child;
  }
  const auto top = TopWindows(kMainClass, std::wstring(kMainClass), pid);
  return top.empty() ? nullptr : top.front();
}

HWND WaitForMeter(DWORD pid, const TestTaskbar* bar, Duration limit) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = MeterOf(pid, bar)) != nullptr; }, limit);
  return found;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Docked as the refresh places it: a child of the rebar at its right end, 3 below its top,
// as tall as the taskbar, with the task-switch area ending where the meter begins.
bool DockedInPlace(HWND meter, const TestTaskbar& bar) {
  if (ParentOf(meter) != bar.rebar()) return false;
  const RECT m = RectOf(meter), rebar = RectOf(bar.rebar()), tray = RectOf(bar.tray()),
             tasks = RectOf(bar.tasks());
  return m.left - rebar.left == Width(rebar) - kMeterWidth && m.top - rebar.top == 3 &&
         Width(m) == kMeterWidth && Height(m) == Height(tray) && tasks.left == rebar.left &&
         Width(tasks) == Width(rebar) - kMeterWidth;
}

::testing::AssertionResult Describe(HWND meter, const TestTaskbar& bar) {
  const RECT m = RectOf(meter), rebar = RectOf(bar.rebar()), tray = RectOf(bar.tray()),
             tasks = RectOf(bar.tasks());
  return ::testing::AssertionFailure()
         << "parent " << ParentOf(meter) << " (rebar " << bar.rebar() << "), meter " << m.left << "," << m.top
         << " " << Width(m) << "x" << Height(m) << ", rebar " << rebar.left << "," << rebar.top << " "
         << Width(rebar) << ", taskbar height " << Height(tray) << ", tasks " << tasks.left << " "
         << Width(tasks);
}

std::optional<std::wstring> RunValue() {
  wchar_t data[1024] = {};
  DWORD bytes = sizeof data;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, L"Trimbelle", RRF_RT_REG_SZ, nullptr, data, &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(data);
}

void DeleteRunValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueW(key, L"Trimbelle");
    RegCloseKey(key);
  }
}

class ShellScenario : public ::testing::Test {
 protected:
  // Starts the meter and waits for its main window; with a taskbar, for the window docked.
  HWND Start(const fs::path& directory = {}) {
    meter.process = directory.empty() ? sandbox.Launch() : Process::Launch(sandbox.exe(), L"", directory);
    if (!meter.process) return nullptr;
    return WaitForMeter(meter.process.id(), &bar, 15s);
  }

  Sandbox sandbox;
  TestTaskbar bar;
  RunningMeter meter;
};

TEST_F(ShellScenario, DocksAtTheRebarsRightEndAndFollowsTheTaskbar) {
  ASSERT_TRUE(sandbox);
  ASSERT_TRUE(bar.Start(1200, 40));
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  const auto appeared = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitUntil([&] { return DockedInPlace(main, bar); }, 2500ms)) << Describe(main, bar);
  const auto docked = std::chrono::steady_clock::now();
  RecordProperty("DockedAfterWindowMs",
                 static_cast<int>(std::chrono::duration_cast<Duration>(docked - appeared).count()));

  ASSERT_TRUE(bar.Resize(1000, 60));
  EXPECT_TRUE(WaitUntil([&] { return DockedInPlace(main, bar); }, 1500ms)) << Describe(main, bar);
  EXPECT_EQ(Height(RectOf(main)), 60);
}

TEST_F(ShellScenario, SecondStartEndsWithCodeZeroAndLeavesTheFirstAlone) {
  ASSERT_TRUE(sandbox);
  ASSERT_TRUE(bar.Start());
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return DockedInPlace(main, bar); }, 2500ms)) << Describe(main, bar);
  const RECT before = RectOf(main);

  RunningMeter second{sandbox.Launch()};
  ASSERT_TRUE(second.process);
  const auto code = second.process.WaitForExit(2s);
  ASSERT_TRUE(code.has_value()) << "the second instance still runs after 2 s";
  EXPECT_EQ(*code, DWORD{0});
  EXPECT_TRUE(TopWindows(kMainClass, std::wstring(kMainClass), second.process.id()).empty());

  EXPECT_TRUE(meter.process.Running());
  EXPECT_EQ(ParentOf(main), bar.rebar());
  const RECT after = RectOf(main);
  EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(ShellScenario, StartedWithoutTaskbarStaysVisibleAndDocksWhenItAppears) {
  ASSERT_TRUE(sandbox);
  HWND main = Start();  // no stand-in taskbar yet
  ASSERT_NE(main, nullptr);
  // Wait past a refresh: the meter must still be reachable, not moved out of sight.
  std::this_thread::sleep_for(1500ms);
  EXPECT_TRUE(IsTopLevel(main));
  EXPECT_TRUE(IsWindowVisible(main));
  const RECT r = RectOf(main);
  EXPECT_GT(Height(r), 0);
  EXPECT_GT(Width(r), 0);

  ASSERT_TRUE(bar.Start());
  EXPECT_TRUE(WaitUntil([&] { return DockedInPlace(main, bar); }, 2500ms)) << Describe(main, bar);
}

TEST_F(ShellScenario, ExitEndsWithCodeZeroAndGivesTheTaskbarItsWidthBack) {
  ASSERT_TRUE(sandbox);
  ASSERT_TRUE(bar.Start());
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return DockedInPlace(main, bar); }, 2500ms)) << Describe(main, bar);

  ASSERT_TRUE(ChooseMenuRow(main, kExitRow));
  std::optional<DWORD> code;
  // A confirmation, if the program shows one, is answered with OK.
  WaitUntil(
      [&] {
        DismissMessageBox(meter.process.id(), 100ms);
        return (code = meter.process.WaitForExit(0ms)).has_value();
      },
      10s);
  ASSERT_TRUE(code.has_value()) << "still running 10 s after 退出程序";
  EXPECT_EQ(*code, DWORD{0});
  EXPECT_EQ(Width(RectOf(bar.tasks())), Width(RectOf(bar.rebar())));
  EXPECT_EQ(Height(RectOf(bar.tasks())), Height(RectOf(bar.tray())));
}

TEST_F(ShellScenario, AutostartWritesTheQuotedRunValue) {
  ASSERT_TRUE(sandbox);
  DeleteRunValue();
  ASSERT_TRUE(bar.Start());
  HWND main = Start();
  ASSERT_NE(main, nullptr);

  ASSERT_TRUE(ChooseMenuRow(main, kAutostartRow));
  EXPECT_EQ(DismissMessageBox(meter.process.id(), 5s), L"开机启动设置成功");
  const auto value = RunValue();
  ASSERT_TRUE(value.has_value());
  ASSERT_EQ(value->front(), L'"');
  ASSERT_EQ(value->back(), L'"');
  const fs::path stored(value->substr(1, value->size() - 2));
  EXPECT_EQ(stored.filename(), L"Trimbelle.exe");
  EXPECT_TRUE(fs::equivalent(stored.parent_path(), sandbox.dir())) << stored.string();
  DeleteRunValue();
}

TEST_F(ShellScenario, RestartStartsANewInstanceAndDeletesOnlyItsOwnScript) {
  ASSERT_TRUE(sandbox);
  ASSERT_TRUE(bar.Start());
  // The program's current directory holds a user's file of the script's name.
  const fs::path elsewhere = sandbox.dir() / L"launcher dir";
  fs::create_directory(elsewhere);
  const fs::path decoy = elsewhere / L"Restart.bat";
  { std::ofstream(decoy) << "rem the user's own file\r\n"; }
  HWND main = Start(elsewhere);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return DockedInPlace(main, bar); }, 2500ms)) << Describe(main, bar);
  const DWORD oldPid = meter.process.id();

  ASSERT_TRUE(ChooseMenuRow(main, kRestartRow));
  const auto code = meter.process.WaitForExit(5s);
  ASSERT_TRUE(code.has_value()) << "the old instance did not end";
  EXPECT_EQ(*code, DWORD{0});

  HWND fresh = nullptr;
  EXPECT_TRUE(WaitUntil(
      [&] {
        fresh = MeterOf(0, &bar);
        return fresh && ProcessOf(fresh) != oldPid;
      },
      5s));
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(sandbox.dir() / L"Restart.bat"); }, 3s));
  EXPECT_TRUE(fs::exists(decoy));

  if (fresh) {
    // The new instance is not ours to keep: close it like the user would.
    const DWORD pid = ProcessOf(fresh);
    PostClose(fresh);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    if (process) {
      if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 0xDEAD);
      CloseHandle(process);
    }
  }
}

}  // namespace
}  // namespace zelv::e2e
