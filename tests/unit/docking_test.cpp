#include "app/docking.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell_world.h"

namespace zelv {
namespace {

using testing::ShellWorld;

constexpr char kTasksTitle[] = "运行中的应用程序";

struct Taskbar {
  WindowHandle taskbar = 0, rebar = 0, tasks = 0;
};

// A horizontal taskbar at the bottom of a 1920 x 1080 screen: 40 high, the rebar 1640 wide.
constexpr Rect kTaskbarRect{0, 1040, 1920, 1080};
constexpr Rect kRebarRect{60, 1042, 1700, 1078};

Taskbar AddTaskbar(fakes::FakeShellWindows& shell, Rect taskbarRect = kTaskbarRect,
                   Rect rebarRect = kRebarRect, bool withRebar = true, const Text& tasksTitle = kTasksTitle) {
  Taskbar t;
  t.taskbar = shell.Add(0, "Shell_TrayWnd", "", taskbarRect);
  if (!withRebar) return t;
  t.rebar = shell.Add(t.taskbar, "ReBarWindow32", "", rebarRect);
  t.tasks = shell.Add(t.rebar, "MSTaskSwWClass", tasksTitle, {60, 1042, 1700, 1078});
  return t;
}

struct Bounds {
  int left, top, width, height;
  friend bool operator==(const Bounds&, const Bounds&) = default;
};
std::ostream& operator<<(std::ostream& os, const Bounds& b) {
  return os << "{" << b.left << "," << b.top << "," << b.width << "," << b.height << "}";
}

Bounds MainBounds(fakes::FakeForms& forms) {
  const Rect& r = forms.widget(Widget::MainWindow).bounds;
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

struct Expect {
  bool docked;                      // a child of the rebar that exists now
  std::optional<Bounds> tasksMove;  // last MoveWindow on the task-switch area, x y w h
  Bounds main;                      // in the parent's client coordinates
};

struct DockCase {
  std::string name;
  std::function<Taskbar(fakes::FakeShellWindows&)> before;
  Expect afterFirstRefresh;
  // Something happens to the shell, then one more refresh.
  std::function<Taskbar(fakes::FakeShellWindows&, Taskbar)> change;
  std::optional<Expect> afterChange;
  friend void PrintTo(const DockCase& c, std::ostream* os) { *os << c.name; }
};

// Where DockIntoTaskbar's resize leaves the fake main window when nothing moves it.
constexpr Bounds kUndocked{0, 0, 180, 40};

const std::vector<DockCase>& Cases() {
  static const std::vector<DockCase> cases = {
      {"Normal",
       [](auto& s) { return AddTaskbar(s); },
       {true, Bounds{0, 0, 1460, 40}, {1460, 3, 180, 40}},
       {},
       {}},
      {"TaskSwitchAreaWithAnotherTitle",
       [](auto& s) { return AddTaskbar(s, kTaskbarRect, kRebarRect, true, "Running applications"); },
       {true, std::nullopt, {1460, 3, 180, 40}},
       {},
       {}},
      {"TaskbarMissingThenStarted",
       [](auto&) { return Taskbar{}; },
       {false, std::nullopt, kUndocked},
       [](auto& s, Taskbar) { return AddTaskbar(s); },
       Expect{true, Bounds{0, 0, 1460, 40}, {1460, 3, 180, 40}}},
      {"RebarMissingThenCreated",
       [](auto& s) { return AddTaskbar(s, kTaskbarRect, kRebarRect, false); },
       {false, std::nullopt, kUndocked},
       [](auto& s, Taskbar t) {
         t.rebar = s.Add(t.taskbar, "ReBarWindow32", "", kRebarRect);
         t.tasks = s.Add(t.rebar, "MSTaskSwWClass", kTasksTitle, kRebarRect);
         return t;
       },
       Expect{true, Bounds{0, 0, 1460, 40}, {1460, 3, 180, 40}}},
      {"TaskbarGetsTaller",
       [](auto& s) { return AddTaskbar(s); },
       {true, Bounds{0, 0, 1460, 40}, {1460, 3, 180, 40}},
       [](auto& s, Taskbar t) {
         s.SetRect(t.taskbar, {0, 1000, 1920, 1080});
         s.SetRect(t.rebar, {60, 1002, 1700, 1078});
         return t;
       },
       Expect{true, Bounds{0, 0, 1460, 80}, {1460, 3, 180, 80}}},
      {"RebarGetsNarrower",
       [](auto& s) { return AddTaskbar(s); },
       {true, Bounds{0, 0, 1460, 40}, {1460, 3, 180, 40}},
       [](auto& s, Taskbar t) {
         s.SetRect(t.rebar, {60, 1042, 1260, 1078});
         return t;
       },
       Expect{true, Bounds{0, 0, 1020, 40}, {1020, 3, 180, 40}}},
      // The same arithmetic on a taskbar at the left edge: widths from the rebar, the
      // height from the taskbar.
      {"VerticalTaskbar",
       [](auto& s) {
         return AddTaskbar(s, {0, 0, 300, 1080}, {0, 40, 300, 1000});
       },
       {true, Bounds{0, 0, 120, 1080}, {120, 3, 180, 1080}},
       {},
       {}},
      {"ShellRestartedWithNewWindows",
       [](auto& s) { return AddTaskbar(s); },
       {true, Bounds{0, 0, 1460, 40}, {1460, 3, 180, 40}},
       [](auto& s, Taskbar t) {
         s.Remove(t.taskbar);
         return AddTaskbar(s, kTaskbarRect, {60, 1042, 1500, 1078});
       },
       Expect{true, Bounds{0, 0, 1260, 40}, {1260, 3, 180, 40}}},
  };
  return cases;
}

class DockingTable : public ::testing::TestWithParam<DockCase> {};

void Check(ShellWorld& w, const Taskbar& t, const Expect& e, size_t movesBefore) {
  const WindowHandle self = w.forms.Handle(Widget::MainWindow);
  if (e.docked) {
    EXPECT_EQ(w.shell.GetParent(self), t.rebar);
  } else {
    EXPECT_EQ(w.shell.GetParent(self), 0u);
  }
  std::optional<Bounds> tasksMove;
  for (size_t i = movesBefore; i < w.shell.moveCalls.size(); ++i) {
    const fakes::MoveCall& m = w.shell.moveCalls[i];
    EXPECT_EQ(m.window, t.tasks) << "only the task-switch area is moved through the shell";
    EXPECT_TRUE(m.repaint);
    tasksMove = Bounds{m.x, m.y, m.width, m.height};
  }
  EXPECT_EQ(tasksMove, e.tasksMove);
  EXPECT_EQ(MainBounds(w.forms), e.main);
  EXPECT_EQ(w.forms.timerPeriod(), 1000);
}

TEST_P(DockingTable, PlacesTheMeterAtTheRebarsRightEnd) {
  const DockCase& c = GetParam();
  ShellWorld w;
  w.shell.AddOwn(w.forms.Handle(Widget::MainWindow), {500, 500, 680, 557});
  Taskbar t = c.before(w.shell);

  DockIntoTaskbar(w.app);
  // Until the first tick the meter keeps the place re-parenting left it.
  EXPECT_EQ(MainBounds(w.forms), kUndocked);
  EXPECT_TRUE(w.shell.moveCalls.empty());

  RefreshTaskbarPosition(w.app);
  Check(w, t, c.afterFirstRefresh, 0);

  if (c.change) {
    t = c.change(w.shell, t);
    const size_t movesBefore = w.shell.moveCalls.size();
    RefreshTaskbarPosition(w.app);
    Check(w, t, *c.afterChange, movesBefore);
  }
  EXPECT_EQ(w.forms.negativeWidths(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, DockingTable, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

TEST(DockIntoTaskbar, SizesThenReparentsThenStartsTheTimer) {
  ShellWorld w;
  w.shell.AddOwn(w.forms.Handle(Widget::MainWindow), {});
  AddTaskbar(w.shell);
  DockIntoTaskbar(w.app);
  const std::vector<std::string> expected = {"SetSize(MainWindow,180,40)",
                                             "SetBounds(InfoLabel,0,0,180,40)",
                                             "FindWindowEx(Shell_TrayWnd)",
                                             "FindWindowEx(ReBarWindow32)",
                                             "SetParent",
                                             "SetTimerPeriod(1000)"};
  std::vector<std::string> calls;
  for (const auto& e : w.log.Entries())
    if (e.rfind("Handle(", 0) != 0) calls.push_back(e);  // reading the handle is no step of its own
  EXPECT_EQ(calls, expected);
}

TEST(WindowBoxOf, GivesLeftTopWidthHeightOrAllZero) {
  fakes::FakeShellWindows shell;
  const WindowHandle w = shell.Add(0, "X", "", {-10, 20, 90, 60});
  EXPECT_EQ(WindowBoxOf(shell, w), (WindowBox{-10, 20, 100, 40}));
  EXPECT_EQ(WindowBoxOf(shell, 0), WindowBox{});
  shell.Remove(w);
  EXPECT_EQ(WindowBoxOf(shell, w), WindowBox{});
}

TEST(RestoreTaskbarOnExit, GivesTheTaskSwitchAreaItsFullWidthBackAndStopsTheTimer) {
  ShellWorld w;
  w.shell.AddOwn(w.forms.Handle(Widget::MainWindow), {});
  const Taskbar t = AddTaskbar(w.shell);
  DockIntoTaskbar(w.app);
  RefreshTaskbarPosition(w.app);

  RestoreTaskbarOnExit(w.app);
  ASSERT_FALSE(w.shell.moveCalls.empty());
  const fakes::MoveCall& last = w.shell.moveCalls.back();
  EXPECT_EQ(last.window, t.tasks);
  EXPECT_EQ((Bounds{last.x, last.y, last.width, last.height}), (Bounds{0, 0, 1640, 40}));
  EXPECT_EQ(w.forms.timerPeriod(), 0);
}

TEST(RestoreTaskbarOnExit, LeavesTheShellAloneWhenTheMeterNeverDocked) {
  ShellWorld w;
  w.shell.AddOwn(w.forms.Handle(Widget::MainWindow), {});
  DockIntoTaskbar(w.app);  // no taskbar
  AddTaskbar(w.shell);     // appears, but no tick docked the meter yet
  RestoreTaskbarOnExit(w.app);
  EXPECT_TRUE(w.shell.moveCalls.empty());
}

}  // namespace
}  // namespace zelv
