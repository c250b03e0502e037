// The stand-in taskbar is what every docking scenario measures against, so its shape is
// checked here: the window tree, the texts the program searches for, and resizing.
#include <gtest/gtest.h>

#include "driver.h"

namespace zelv::e2e {
namespace {

TEST(TestTaskbar, HasTheWindows10TreeAlongTheBottomEdge) {
  TestTaskbar bar;
  ASSERT_TRUE(bar.Start());
  const int screen_w = GetSystemMetrics(SM_CXSCREEN);
  const int screen_h = GetSystemMetrics(SM_CYSCREEN);
  const RECT rc = RectOf(bar.tray());
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.right, screen_w);
  EXPECT_EQ(rc.bottom, screen_h);
  EXPECT_EQ(rc.bottom - rc.top, 40);
  EXPECT_TRUE(IsTopLevel(bar.tray()));
  EXPECT_EQ(TextOf(bar.tray()), L"");
  EXPECT_EQ(ParentOf(bar.rebar()), bar.tray());
  EXPECT_EQ(ParentOf(bar.tasks()), bar.rebar());
  EXPECT_EQ(TextOf(bar.tasks()), L"运行中的应用程序");

  // The program looks the tree up with narrow code page 936 texts; Wine's explorer owns a
  // hidden "Shell_TrayWnd" too, and the newer window must be the one found.
  HWND tray = FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
  ASSERT_EQ(tray, bar.tray());
  HWND rebar = FindWindowExA(tray, nullptr, "ReBarWindow32", nullptr);
  ASSERT_EQ(rebar, bar.rebar());
  EXPECT_EQ(FindWindowExA(rebar, nullptr, "MSTaskSwWClass", "运行中的应用程序"), bar.tasks());

  EXPECT_EQ(bar.Stop(), DWORD{0});
}

TEST(TestTaskbar, ResizesOnRequestAndKeepsItsChildrenInside) {
  TestTaskbar bar;
  ASSERT_TRUE(bar.Start(1000, 30));
  EXPECT_EQ(RectOf(bar.tray()).right - RectOf(bar.tray()).left, 1000);

  ASSERT_TRUE(bar.Resize(1100, 60));
  const RECT tray = RectOf(bar.tray());
  EXPECT_EQ(tray.bottom, GetSystemMetrics(SM_CYSCREEN));
  const RECT rebar = RectOf(bar.rebar());
  EXPECT_EQ(rebar.bottom - rebar.top, 60);
  EXPECT_GE(rebar.left, tray.left);
  EXPECT_LE(rebar.right, tray.right);
  const RECT tasks = RectOf(bar.tasks());
  EXPECT_EQ(tasks.right - tasks.left, rebar.right - rebar.left);
  EXPECT_EQ(bar.Stop(), DWORD{0});
}

}  // namespace
}  // namespace zelv::e2e
