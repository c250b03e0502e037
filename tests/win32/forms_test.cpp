// The real main window under Wine, in-process: what the form promises (classes, texts, places,
// styles, fonts, colours on screen), the routing of input, the popup menu and the way back to
// the UI thread.
#include "platform/win32/forms_win32.h"
// (the forms header must come before anything that pulls in the MessageBox macro)
#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "fakes/fake_audio.h"
#include "platform/win32/wide_text.h"

namespace zelv::win32 {
namespace {

using ::testing::ElementsAre;

struct Event {
  char kind;  // 'L' left press, 'R' right press, 'M' move, 'T' timer
  Widget widget;
  bool operator==(const Event&) const = default;
};

// Records what the forms report; optional hooks act inside the creation event.
class Sink final : public IFormsEvents {
 public:
  explicit Sink(Forms& forms) : forms_(forms) {}
  void OnMainWindowCreated() override {
    ++created;
    windowVisibleDuringCreation = ::IsWindowVisible(forms_.Window(Widget::MainWindow)) != FALSE;
    allControlsDuringCreation = true;
    for (Widget w : {Widget::MuteLabel, Widget::Track, Widget::Fill, Widget::LevelLabel, Widget::InfoLabel})
      allControlsDuringCreation = allControlsDuringCreation && forms_.Window(w) != nullptr;
    if (onCreated) onCreated();
  }
  void OnLeftButtonDown(Widget w) override { events.push_back({'L', w}); }
  void OnRightButtonDown(Widget w) override { events.push_back({'R', w}); }
  void OnMouseMove(Widget w) override { events.push_back({'M', w}); }
  void OnTimer() override {
    events.push_back({'T', Widget::MainWindow});
    if (onTimer) onTimer();
  }

  int created = 0;
  bool windowVisibleDuringCreation = true;
  bool allControlsDuringCreation = false;
  std::function<void()> onCreated;
  std::function<void()> onTimer;
  std::vector<Event> events;

 private:
  Forms& forms_;
};

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

RECT RectInParent(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(HWND_DESKTOP, ::GetAncestor(window, GA_PARENT), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Lets the window paint, then reads one pixel of its client area from the screen.
COLORREF PixelOf(HWND window, int x, int y) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  ::GdiFlush();
  const HDC dc = ::GetDC(window);
  const COLORREF pixel = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return pixel;
}

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(forms.CreateMainWindow(sink)); }
  HWND Main() { return forms.Window(Widget::MainWindow); }

  Forms forms{::GetModuleHandleW(nullptr)};
  Sink sink{forms};
};

TEST_F(FormsTest, MainWindowIsAFramelessBlackCentredUnownedPopup) {
  const HWND main = Main();
  EXPECT_EQ(ClassOf(main), L"Zelv Monitor");
  EXPECT_EQ(WindowText(main), "Zelv Monitor");
  RECT rect{};
  ::GetWindowRect(main, &rect);
  EXPECT_EQ(rect.right - rect.left, 180);
  EXPECT_EQ(rect.bottom - rect.top, 57);
  EXPECT_EQ(rect.left, (::GetSystemMetrics(SM_CXSCREEN) - 180) / 2);
  EXPECT_EQ(rect.top, (::GetSystemMetrics(SM_CYSCREEN) - 57) / 2);

  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(main, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(main, GWL_EXSTYLE));
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style &
               (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER));
  EXPECT_FALSE(exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
  EXPECT_EQ(::GetWindow(main, GW_OWNER), nullptr);  // so it has a taskbar button
  EXPECT_EQ(::GetMenu(main), nullptr);
  EXPECT_TRUE(::IsWindowVisible(main));

  EXPECT_EQ(sink.created, 1);
  EXPECT_TRUE(sink.allControlsDuringCreation);
  EXPECT_FALSE(sink.windowVisibleDuringCreation);
  EXPECT_EQ(PixelOf(main, 5, 40), RGB(0, 0, 0));
}

TEST_F(FormsTest, ControlsAreChildWindowsOfTheForm) {
  struct Expected {
    Widget widget;
    int id;
    const wchar_t* cls;
    Text caption;
    Widget parent;
    RECT rect;  // left, top, right, bottom in the parent
    bool visible;
    bool border;
  };
  const Expected table[] = {
      {Widget::MuteLabel,
       kIdMuteLabel,
       kLabelClass,
       "OFF",
       Widget::MainWindow,
       {141, 11, 166, 25},
       true,
       true},
      {Widget::Track, kIdTrack, kPanelClass, "", Widget::MainWindow, {13, 15, 113, 21}, true, false},
      {Widget::Fill, kIdFill, kPanelClass, "", Widget::Track, {0, 0, 100, 40}, true, false},
      {Widget::LevelLabel,
       kIdLevelLabel,
       kLabelClass,
       "等待...",
       Widget::MainWindow,
       {120, 11, 148, 24},
       true,
       false},
      {Widget::InfoLabel,
       kIdInfoLabel,
       kLabelClass,
       "透明标签",
       Widget::MainWindow,
       {8, 8, 208, 48},
       false,
       false},
  };
  for (const Expected& e : table) {
    SCOPED_TRACE(e.id);
    const HWND window = forms.Window(e.widget);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetDlgItem(forms.Window(e.parent), e.id), window);
    EXPECT_EQ(ClassOf(window), e.cls);
    EXPECT_EQ(WindowText(window), e.caption);
    const RECT rect = RectInParent(window);
    EXPECT_EQ(rect.left, e.rect.left);
    EXPECT_EQ(rect.top, e.rect.top);
    EXPECT_EQ(rect.right, e.rect.right);
    EXPECT_EQ(rect.bottom, e.rect.bottom);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_EQ((style & WS_VISIBLE) != 0, e.visible);
    EXPECT_EQ((style & WS_BORDER) != 0, e.border);
  }
  // The level label's box overlaps the mute label's left edge; the mute label must lie above.
  int muteAt = -1, levelAt = -1, position = 0;
  for (HWND c = ::GetWindow(Main(), GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT), ++position) {
    if (c == forms.Window(Widget::MuteLabel)) muteAt = position;
    if (c == forms.Window(Widget::LevelLabel)) levelAt = position;
  }
  EXPECT_LT(muteAt, levelAt);
  EXPECT_TRUE(::GetWindowLongPtrW(forms.Window(Widget::LevelLabel), GWL_STYLE) & WS_CLIPSIBLINGS);
  EXPECT_TRUE(::GetWindowLongPtrW(forms.Window(Widget::InfoLabel), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

TEST_F(FormsTest, LabelsUseTheFormsFontAndCursors) {
  for (Widget w : {Widget::MuteLabel, Widget::LevelLabel}) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(forms.Window(w), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW f{};
    ASSERT_EQ(::GetObjectW(font, sizeof(f), &f), static_cast<int>(sizeof(f)));
    EXPECT_EQ(f.lfHeight, -10);
    EXPECT_EQ(f.lfWidth, 0);
    EXPECT_EQ(f.lfEscapement, 0);
    EXPECT_EQ(f.lfOrientation, 0);
    EXPECT_EQ(f.lfWeight, 400);
    EXPECT_EQ(f.lfItalic, 0);
    EXPECT_EQ(f.lfUnderline, 0);
    EXPECT_EQ(f.lfStrikeOut, 0);
    EXPECT_EQ(f.lfCharSet, 134);
    EXPECT_EQ(f.lfOutPrecision, 3);
    EXPECT_EQ(f.lfClipPrecision, 2);
    EXPECT_EQ(f.lfQuality, 1);
    EXPECT_EQ(f.lfPitchAndFamily, 0x22);
    EXPECT_EQ(FromWide(f.lfFaceName, ::lstrlenW(f.lfFaceName)), "微软雅黑");
  }
  const struct {
    Widget widget;
    LPCWSTR cursor;
  } cursors[] = {{Widget::MuteLabel, IDC_HAND}, {Widget::LevelLabel, IDC_ARROW}};
  for (const auto& c : cursors) {
    const HWND window = forms.Window(c.widget);
    ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, c.cursor));
  }
}

TEST_F(FormsTest, MouseInputOfEveryControlReachesTheCore) {
  const Widget widgets[] = {Widget::MainWindow, Widget::MuteLabel, Widget::Track, Widget::Fill,
                            Widget::LevelLabel};
  for (Widget w : widgets) {
    const HWND window = forms.Window(w);
    ::SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  }
  // A left press on the background would start a window drag; the controls are enough here.
  for (Widget w : {Widget::MuteLabel, Widget::Track, Widget::Fill})
    ::SendMessageW(forms.Window(w), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  EXPECT_THAT(
      sink.events,
      ElementsAre(Event{'R', Widget::MainWindow}, Event{'M', Widget::MainWindow},
                  Event{'R', Widget::MuteLabel}, Event{'M', Widget::MuteLabel}, Event{'R', Widget::Track},
                  Event{'M', Widget::Track}, Event{'R', Widget::Fill}, Event{'M', Widget::Fill},
                  Event{'R', Widget::LevelLabel}, Event{'M', Widget::LevelLabel},
                  Event{'L', Widget::MuteLabel}, Event{'L', Widget::Track}, Event{'L', Widget::Fill}));
}

TEST_F(FormsTest, GeometryAndCaptionsAsTheCoreSetsThem) {
  forms.SetWidth(Widget::Fill, 37);
  EXPECT_EQ(forms.Width(Widget::Fill), 37);
  EXPECT_EQ(forms.Height(Widget::Fill), 40);
  // The click path may ask for more than the track; the width reads back as given.
  forms.SetWidth(Widget::Fill, 104);
  EXPECT_EQ(forms.Width(Widget::Fill), 104);
  forms.SetWidth(Widget::Fill, -1);
  EXPECT_EQ(forms.Width(Widget::Fill), 0);

  forms.SetSize(Widget::MainWindow, 180, 40);
  EXPECT_EQ(forms.Height(Widget::MainWindow), 40);
  RECT rect{};
  ::GetWindowRect(Main(), &rect);
  EXPECT_EQ(forms.ScreenLeft(Widget::MainWindow), rect.left);
  forms.SetBounds(Widget::MainWindow, 10, 20, 150, 30);
  ::GetWindowRect(Main(), &rect);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right, 160);

  forms.SetCaption(Widget::LevelLabel, "100");
  EXPECT_EQ(forms.Caption(Widget::LevelLabel), "100");
  forms.SetCaption(Widget::MuteLabel, "中文&ON");
  EXPECT_EQ(WindowText(forms.Window(Widget::MuteLabel)), "中文&ON");
  forms.SetWidth(Widget::InfoLabel, 180);
  EXPECT_EQ(forms.Width(Widget::InfoLabel), 180);
}

TEST_F(FormsTest, PanelsShowTheirColoursAndTheWrittenNumber) {
  const HWND main = Main();
  // Default scheme: the track in the button face colour, the fill teal.
  forms.SetWidth(Widget::Fill, 40);
  EXPECT_EQ(PixelOf(main, 13 + 20, 18), RGB(0, 128, 128));
  EXPECT_EQ(PixelOf(main, 13 + 80, 18), ::GetSysColor(COLOR_BTNFACE));

  forms.SetBackColour(Widget::Fill, RGB(255, 0, 0));
  forms.SetBackColour(Widget::Track, RGB(0, 0, 255));
  forms.SetTextColour(Widget::MuteLabel, RGB(0, 0xBC, 0x12));
  EXPECT_EQ(PixelOf(main, 13 + 20, 18), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(main, 13 + 80, 18), RGB(0, 0, 255));
  forms.SetBackColour(Widget::Track, kButtonFaceColour);
  EXPECT_EQ(PixelOf(main, 13 + 80, 18), ::GetSysColor(COLOR_BTNFACE));

  // The written number shows in black on the fill, survives a repaint and goes with a clear.
  auto blackInFill = [&] {
    const HWND fill = forms.Window(Widget::Fill);
    PixelOf(main, 0, 0);
    const HDC dc = ::GetDC(fill);
    int black = 0;
    for (int x = 0; x < 20; ++x)
      for (int y = 0; y < 6; ++y) black += ::GetPixel(dc, x, y) == RGB(0, 0, 0);
    ::ReleaseDC(fill, dc);
    return black;
  };
  EXPECT_EQ(blackInFill(), 0);
  forms.DrawPanelText(Widget::Fill, "25");
  EXPECT_GT(blackInFill(), 0);
  ::InvalidateRect(forms.Window(Widget::Fill), nullptr, TRUE);
  EXPECT_GT(blackInFill(), 0);
  forms.ClearPanel(Widget::Fill);
  EXPECT_EQ(blackInFill(), 0);
}

TEST_F(FormsTest, EscapeClosesTheWindowAndEndsTheLoopWithZero) {
  for (Widget focus : {Widget::MainWindow, Widget::LevelLabel}) {
    SCOPED_TRACE(static_cast<int>(focus));
    Forms own(::GetModuleHandleW(nullptr));
    Sink ownSink(own);
    ASSERT_TRUE(own.CreateMainWindow(ownSink));
    ::PostMessageW(own.Window(focus), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(own.RunMessageLoop(), 0);
    EXPECT_EQ(own.Window(Widget::MainWindow), nullptr);
    EXPECT_TRUE(own.Ending());
  }
}

TEST(FormsEnd, EndingInsideTheCreationEventNeverShowsTheWindow) {
  Forms forms(::GetModuleHandleW(nullptr));
  Sink sink(forms);
  sink.onCreated = [&] { forms.EndProgram(0); };
  ASSERT_TRUE(forms.CreateMainWindow(sink));
  EXPECT_EQ(forms.Window(Widget::MainWindow), nullptr);
  EXPECT_EQ(forms.RunMessageLoop(), 0);
}

// A named CALLBACK: a lambda has the wrong calling convention for TIMERPROC in 32-bit builds.
void CALLBACK QuitFromTimer(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::PostQuitMessage(7);
}

TEST_F(FormsTest, TimerRunsOnlyOnceAPeriodIsGiven) {
  // Period 0 at load: nothing fires while the loop runs for a while.
  forms.PostToUi([] {});
  ::SetTimer(nullptr, 0, 300, &QuitFromTimer);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  // (the window may see mouse moves as it appears under the pointer; only the timer counts)
  EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), Event{'T', Widget::MainWindow}), 0);

  int fired = 0;
  sink.onTimer = [&] {
    if (++fired == 2) forms.EndProgram(0);
  };
  forms.SetTimerPeriod(50);
  EXPECT_EQ(forms.RunMessageLoop(), 0);
  EXPECT_EQ(fired, 2);
}

TEST_F(FormsTest, WorkPostedFromOtherThreadsRunsInOrderUntilTheEnd) {
  std::vector<int> ran;
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i) forms.PostToUi([&ran, i] { ran.push_back(i); });
    forms.PostToUi([&] { forms.EndProgram(0); });
    forms.PostToUi([&ran] { ran.push_back(-1); });  // after the end: dropped
  });
  EXPECT_EQ(forms.RunMessageLoop(), 0);
  worker.join();
  ASSERT_EQ(ran.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(ran[static_cast<std::size_t>(i)], i);
  bool late = false;
  forms.PostToUi([&] { late = true; });
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  EXPECT_FALSE(late);
}

// Reads the popup while it is tracked, from a timer of the same thread, then dismisses it by
// the keys given.
struct MenuSeen {
  std::vector<Text> texts;
  std::vector<bool> checked;
  std::vector<UINT> keys;
};
MenuSeen* g_menu = nullptr;

void CALLBACK ReadMenu(HWND, UINT, UINT_PTR id, DWORD) {
  const HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (popup == nullptr || !::IsWindowVisible(popup)) return;
  ::KillTimer(nullptr, id);
  const auto menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    g_menu->texts.push_back(FromWide(text, ::lstrlenW(text)));
    g_menu->checked.push_back((::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0);
  }
  for (UINT key : g_menu->keys) ::PostMessageW(popup, WM_KEYDOWN, key, 0);
}

TEST_F(FormsTest, ContextMenuShowsTheEightItemsAndReturnsTheChoice) {
  fakes::FakeAudioBackend audio;
  Platform platform;
  platform.forms = &forms;
  platform.audio = &audio;
  App app(platform);
  forms.SetMenuCheck(MenuCommand::Autostart, true);

  MenuSeen seen;
  seen.keys = {VK_ESCAPE};
  g_menu = &seen;
  ::SetTimer(nullptr, 0, 50, &ReadMenu);
  app.ShowContextMenu();  // the real menu of the program, dismissed: nothing runs
  EXPECT_THAT(seen.texts, ElementsAre("自定义进度条背景颜色", "自定义进度条颜色", "恢复默认颜色方案",
                                      "检测更新/关于", "支持作者~~", "开机启动", "重启程序", "退出程序"));
  EXPECT_THAT(seen.checked, ElementsAre(false, false, false, false, false, true, false, false));
  EXPECT_EQ(::GetMenu(Main()), nullptr);

  // The id given with the third item comes back when it is chosen.
  MenuSeen chosen;
  chosen.keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
  g_menu = &chosen;
  ::SetTimer(nullptr, 0, 50, &ReadMenu);
  const std::vector<PopupItem> items = {{"a", false, 0}, {"b", false, 40}, {"c", false, 41}};
  EXPECT_EQ(forms.TrackPopup(items, forms.CursorPos()), 41);
  g_menu = nullptr;
}

TEST_F(FormsTest, TooltipIsOneControlWithOneToolForTheHiddenLabel) {
  for (int i = 0; i < 50; ++i) forms.RegisterTooltip(Widget::InfoLabel, "Zelv Monitor");
  const HWND tooltip = forms.TooltipWindow();
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(::lstrcmpiW(ClassOf(tooltip).c_str(), L"Tooltips_class32"), 0);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(tooltip, GWL_STYLE));
  EXPECT_TRUE(style & TTS_ALWAYSTIP);
  EXPECT_TRUE(style & TTS_NOPREFIX);
  // Registering on every mouse move must not pile up tools.
  EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
  char text[64] = {};
  TTTOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.hwnd = Main();
  info.uId = reinterpret_cast<UINT_PTR>(forms.Window(Widget::InfoLabel));
  info.lpszText = text;
  ASSERT_TRUE(::SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)));
  EXPECT_EQ(info.uFlags & (TTF_IDISHWND | TTF_CENTERTIP), static_cast<UINT>(TTF_IDISHWND | TTF_CENTERTIP));
  EXPECT_STREQ(text, "Zelv Monitor");
}

// Finds the first visible top-level window of a class on this thread and acts on it.
struct BoxDriver {
  const wchar_t* cls;
  std::function<void(HWND)> act;
  std::wstring caption;
  std::wstring body;
};
BoxDriver* g_box = nullptr;

void CALLBACK DriveBox(HWND, UINT, UINT_PTR id, DWORD) {
  const HWND box = ::FindWindowW(g_box->cls, nullptr);
  if (box == nullptr || !::IsWindowVisible(box)) return;
  ::KillTimer(nullptr, id);
  wchar_t text[256] = {};
  ::GetWindowTextW(box, text, 256);
  g_box->caption = text;
  g_box->act(box);
}

TEST_F(FormsTest, InputBoxReturnsTheTypedTextOnEnterAndNothingOnEscape) {
  const struct {
    Text typed;
    UINT key;
    bool confirmed;
  } cases[] = {{"#00FF00", VK_RETURN, true}, {"中文", VK_RETURN, true}, {"#123456", VK_ESCAPE, false}};
  for (const auto& c : cases) {
    BoxDriver driver{kInputBoxClass,
                     [&](HWND box) {
                       const HWND edit = ::GetDlgItem(box, kIdInputEdit);
                       ::SetWindowTextW(edit, ToWide(c.typed).c_str());
                       wchar_t ok[64] = {}, cancel[64] = {};
                       ::GetWindowTextW(::GetDlgItem(box, IDOK), ok, 64);
                       ::GetWindowTextW(::GetDlgItem(box, IDCANCEL), cancel, 64);
                       driver.body = std::wstring(ok) + L"|" + cancel;
                       ::PostMessageW(edit, WM_KEYDOWN, c.key, 0);
                     },
                     {},
                     {}};
    g_box = &driver;
    ::SetTimer(nullptr, 0, 50, &DriveBox);
    const InputResult result = forms.InputBox("请输入颜色", "");
    EXPECT_EQ(result.confirmed, c.confirmed);
    EXPECT_EQ(result.text, c.confirmed ? c.typed : Text{});
    EXPECT_EQ(FromWide(driver.caption), "请输入：");
    EXPECT_EQ(FromWide(driver.body), "确认输入(&O)|取消(&C)");
    EXPECT_TRUE(::IsWindowEnabled(Main()));
  }
  g_box = nullptr;
}

TEST_F(FormsTest, MessageBoxIsTaskModalWithTheDefaultCaption) {
  BoxDriver driver{L"#32770",
                   [&](HWND box) {
                     wchar_t text[256] = {};
                     ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 256);
                     driver.body = text;
                     ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                   },
                   {},
                   {}};
  g_box = &driver;
  ::SetTimer(nullptr, 0, 50, &DriveBox);
  forms.MessageBox("设置成功，重启程序后生效", "");
  EXPECT_EQ(FromWide(driver.caption), "信息：");
  EXPECT_EQ(FromWide(driver.body), "设置成功，重启程序后生效");
  g_box = nullptr;
}

}  // namespace
}  // namespace zelv::win32
