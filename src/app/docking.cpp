#include "app/docking.h"

#include "app/app.h"
#include "platform/forms.h"
#include "platform/shell.h"

namespace zelv {
namespace {

constexpr char kTaskbarClass[] = "Shell_TrayWnd";
constexpr char kRebarClass[] = "ReBarWindow32";
constexpr char kTaskSwitchClass[] = "MSTaskSwWClass";
constexpr char kTaskSwitchTitle[] = "运行中的应用程序";

struct Taskbar {
  WindowHandle taskbar = 0;
  WindowHandle rebar = 0;
};

// The rebar is looked up only inside a taskbar that was found: searching from the desktop
// instead would accept any top-level window of that class.
Taskbar FindTaskbar(IShellWindows& shell) {
  Taskbar found;
  found.taskbar = shell.FindWindowEx(0, kTaskbarClass, "");
  if (found.taskbar != 0) found.rebar = shell.FindWindowEx(found.taskbar, kRebarClass, "");
  return found;
}

void AttachTo(App& app, WindowHandle rebar) {
  const WindowHandle self = app.platform().forms->Handle(Widget::MainWindow);
  app.platform().shell->SetParent(self, rebar);
  app.dock.docked = true;
  app.dock.rebar = rebar;
}

}  // namespace

WindowBox WindowBoxOf(IShellWindows& shell, WindowHandle window) {
  Rect rect;
  if (window == 0 || !shell.GetWindowRect(window, rect)) return WindowBox{};
  return WindowBox{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void DockIntoTaskbar(App& app) {
  IForms& forms = *app.platform().forms;
  forms.SetSize(Widget::MainWindow, kDockedWidth, kDockedHeight);
  // The info label's width is what the refresh gives the main window from now on.
  forms.SetBounds(Widget::InfoLabel, 0, 0, kDockedWidth, kDockedHeight);
  const Taskbar bar = FindTaskbar(*app.platform().shell);
  // Without a rebar the meter stays a visible window where it is; the refresh keeps trying,
  // so a meter started before the shell docks as soon as the taskbar appears.
  if (bar.rebar != 0) AttachTo(app, bar.rebar);
  forms.SetTimerPeriod(kRefreshPeriodMs);
}

void RefreshTaskbarPosition(App& app) {
  IForms& forms = *app.platform().forms;
  IShellWindows& shell = *app.platform().shell;
  const Taskbar bar = FindTaskbar(shell);
  // Moving with an empty taskbar box would shrink the meter to height 0 and leave it where
  // nobody can reach it; it rather waits for the next tick.
  if (bar.rebar == 0) return;
  // A rebar other than the one we live in means the shell was started (again) since.
  if (bar.rebar != app.dock.rebar) AttachTo(app, bar.rebar);

  const WindowBox taskbarBox = WindowBoxOf(shell, bar.taskbar);
  const WindowHandle tasks = shell.FindWindowEx(bar.rebar, kTaskSwitchClass, kTaskSwitchTitle);
  const WindowBox rebarBox = WindowBoxOf(shell, bar.rebar);

  const int width = forms.Width(Widget::MainWindow);
  if (tasks != 0) {
    shell.MoveWindow(tasks, 0, 0, rebarBox.width - width, taskbarBox.height, true);
    app.dock.taskSwitchArea = tasks;
  }
  // Read again after the move: it runs the shell's code, which may have resized the meter.
  const int widthNow = forms.Width(Widget::MainWindow);
  const int labelWidth = forms.Width(Widget::InfoLabel);
  forms.SetBounds(Widget::MainWindow, rebarBox.width - widthNow, kDockedTop, labelWidth, taskbarBox.height);
}

void RestoreTaskbarOnExit(App& app) {
  if (!app.dock.docked) return;
  // A late tick must not shrink the area again after it has been given back.
  app.platform().forms->SetTimerPeriod(0);
  IShellWindows& shell = *app.platform().shell;
  const Taskbar bar = FindTaskbar(shell);
  app.dock.docked = false;
  if (bar.rebar == 0) return;
  const WindowHandle tasks = shell.FindWindowEx(bar.rebar, kTaskSwitchClass, kTaskSwitchTitle);
  if (tasks == 0) return;
  const WindowBox taskbarBox = WindowBoxOf(shell, bar.taskbar);
  const WindowBox rebarBox = WindowBoxOf(shell, bar.rebar);
  shell.MoveWindow(tasks, 0, 0, rebarBox.width, taskbarBox.height, true);
}
}  // namespace zelv
