#include "app/creation_sequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/guard.h"
#include "shell_world.h"

namespace zelv {
namespace {

using testing::ShellWorld;

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Index of the first log entry starting with the prefix, or npos.
size_t FirstEntry(const std::vector<std::string>& log, const std::string& prefix) {
  for (size_t i = 0; i < log.size(); ++i)
    if (log[i].rfind(prefix, 0) == 0) return i;
  return std::string::npos;
}

void AddTaskbar(fakes::FakeShellWindows& shell) {
  const WindowHandle bar = shell.Add(0, "Shell_TrayWnd", "", {0, 1040, 1920, 1080});
  const WindowHandle rebar = shell.Add(bar, "ReBarWindow32", "", {60, 1042, 1700, 1078});
  shell.Add(rebar, "MSTaskSwWClass", "运行中的应用程序", {60, 1042, 1700, 1078});
}

TEST(CreationSequence, RunsTheEightStepsInOrder) {
  ShellWorld w;
  w.shell.AddOwn(w.forms.Handle(Widget::MainWindow), {});
  AddTaskbar(w.shell);
  w.files.PutFile("C:\\Zelv\\color.ini", "#FF0000");
  w.registry.keys[kRunKey]["Trimbelle"] = {"\"C:\\Zelv\\Trimbelle.exe\"", 25};

  RunCreationSequence(w.app);

  const auto log = w.log.Entries();
  const std::vector<std::string> steps = {
      "OpenNamedEvent",         // 1 guard
      "CreateNamedEvent",       //
      "FindFirstIsDirectoryW",  // 2, 3 colour files
      "SetWidth(Fill",          // 4 bar length
      "SetSize(MainWindow",     // 5 docking
      "SetParent",              //
      "SetTimerPeriod(1000)",   //
      "SetCaption(MuteLabel",   // 7 mute label
      "RegOpenRead",            // 8 autostart mark
      "SetMenuCheck(Autostart,1)",
  };
  size_t previous = 0;
  for (const std::string& step : steps) {
    const size_t at = FirstEntry(log, step);
    ASSERT_NE(at, std::string::npos) << step;
    EXPECT_GE(at, previous) << step;
    previous = at;
  }
  EXPECT_NE(w.app.poller, nullptr);  // 6
  EXPECT_NE(w.app.pollThreadId, 0u);
  EXPECT_EQ(w.app.barColourText, "#FF0000");
  EXPECT_FALSE(w.forms.endCode().has_value());
  EXPECT_TRUE(w.forms.messages().empty());
}

TEST(CreationSequence, LeavesTheAutostartMarkOffWithoutTheRunValue) {
  ShellWorld w;
  w.forms.SetMenuCheck(MenuCommand::Autostart, true);
  RunCreationSequence(w.app);
  EXPECT_FALSE(w.forms.MenuCheck(MenuCommand::Autostart));
  EXPECT_TRUE(w.forms.messages().empty());
}

TEST(CreationSequence, SecondInstanceEndsInStepOneHavingTouchedNothing) {
  auto events = std::make_shared<fakes::EventNamespace>();
  events->names.insert(InstanceEventName);  // the first instance runs
  ShellWorld second(events);
  second.shell.AddOwn(second.forms.Handle(Widget::MainWindow), {});
  AddTaskbar(second.shell);
  second.files.PutFile("C:\\Zelv\\color.ini", "#FF0000");

  RunCreationSequence(second.app);

  EXPECT_EQ(second.forms.endCode(), 0);
  EXPECT_TRUE(second.forms.messages().empty());
  EXPECT_FALSE(second.registry.Touched());
  EXPECT_EQ(second.app.poller, nullptr);
  EXPECT_EQ(second.app.pollThreadId, 0u);
  EXPECT_FALSE(second.app.barColourText.has_value());
  EXPECT_TRUE(second.shell.setParentCalls.empty());
  const auto log = second.log.Entries();
  EXPECT_EQ(FirstEntry(log, "FindFirstIsDirectoryW"), std::string::npos);
  EXPECT_EQ(FirstEntry(log, "ReadFile"), std::string::npos);
  EXPECT_EQ(FirstEntry(log, "SetTimerPeriod"), std::string::npos);
  EXPECT_EQ(FirstEntry(log, "SetWidth"), std::string::npos);
}

}  // namespace
}  // namespace zelv
