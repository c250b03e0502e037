// The about and sponsor windows in-process under Wine: what their forms promise (client
// sizes, captions, every control's class, place, size, visibility and text, the fonts), the
// pictures drawn and animated, and the modal rules. Each window is inspected from a timer on
// the UI thread while its modal loop runs, then closed.
#include "platform/win32/forms_win32.h"
// (the forms header must come before anything that pulls in the MessageBox macro)
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "driver.h"
#include "fakes/fake_forms.h"
#include "platform/secondary_windows.h"
#include "platform/win32/backends.h"
#include "platform/win32/wide_text.h"

namespace zelv::win32 {
namespace {

struct Expected {
  const char* cls;
  const char* text;
  int x, y, w, h;
  bool visible;
  bool yaHei;
  bool inShapeBox;
};

// Steps run one per timer tick inside the modal loop; the last one closes the window.
class Inspector {
 public:
  static void Run(ISecondaryWindows& windows, SecondaryWindow which, IAboutWindowEvents* events,
                  std::vector<std::function<void(HWND)>> steps) {
    current_ = Inspector{std::move(steps)};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 150, Tick);
    windows.RunModal(which, events);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(current_.next_, current_.steps_.size()) << "the window closed before every step ran";
  }

 private:
  explicit Inspector(std::vector<std::function<void(HWND)>> steps = {}) : steps_(std::move(steps)) {}
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = ::FindWindowW(L"ZelvSecondaryWindow", nullptr);
    if (window == nullptr || current_.next_ >= current_.steps_.size()) return;
    current_.steps_[current_.next_++](window);
    if (current_.next_ == current_.steps_.size()) ::PostMessageW(window, WM_CLOSE, 0, 0);
  }
  static Inspector current_;
  std::vector<std::function<void(HWND)>> steps_;
  std::size_t next_ = 0;
};

BOOL CALLBACK Collect(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

Inspector Inspector::current_;

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> all;
  ::EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

RECT PlaceIn(HWND child, HWND parent) {
  RECT r{};
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring FaceOf(HWND w) {
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(w, WM_GETFONT, 0, 0));
  LOGFONTW f{};
  if (font == nullptr || ::GetObjectW(font, sizeof(f), &f) == 0) return L"";
  return f.lfFaceName;
}

HWND FindByText(HWND window, const wchar_t* cls, const Text& text) {
  for (HWND w : Descendants(window))
    if (e2e::ClassOf(w) == cls && WindowText(w) == text) return w;
  return nullptr;
}

// Every expected control exists once, in its place, with its text and font.
void ExpectControls(HWND window, const std::vector<Expected>& expected) {
  const std::vector<HWND> all = Descendants(window);
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.text[0] ? e.text : e.cls);
    std::vector<HWND> found;
    for (HWND w : all) {
      if (_wcsicmp(e2e::ClassOf(w).c_str(), ToWide(e.cls).c_str()) == 0 && WindowText(w) == Text(e.text)) {
        const RECT r = PlaceIn(w, ::GetParent(w));
        if (r.left == e.x && r.top == e.y && r.right - r.left == e.w && r.bottom - r.top == e.h)
          found.push_back(w);
      }
    }
    ASSERT_EQ(found.size(), 1u) << "no single control of this class, text, place and size";
    HWND w = found.front();
    EXPECT_EQ((::GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0, e.visible);
    EXPECT_EQ(::GetParent(w) != window, e.inShapeBox);
    if (e.yaHei) {
      EXPECT_EQ(FaceOf(w), ToWide("微软雅黑"));
    }
  }
}

// Distinct colours on the screen inside a control: a drawn picture has many, an empty box one.
std::size_t ColoursOf(HWND w) {
  RECT r{};
  ::GetWindowRect(w, &r);
  HDC screen = ::GetDC(nullptr);
  std::set<COLORREF> colours;
  for (int y = r.top; y < r.bottom; y += 3)
    for (int x = r.left; x < r.right; x += 3) colours.insert(::GetPixel(screen, x, y));
  ::ReleaseDC(nullptr, screen);
  return colours.size();
}

std::vector<COLORREF> PixelsOf(HWND w) {
  RECT r{};
  ::GetWindowRect(w, &r);
  HDC screen = ::GetDC(nullptr);
  std::vector<COLORREF> pixels;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) pixels.push_back(::GetPixel(screen, x, y));
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

SIZE ClientSize(HWND w) {
  RECT r{};
  ::GetClientRect(w, &r);
  return {r.right, r.bottom};
}

class NoEvents final : public IAboutWindowEvents {
 public:
  void OnCheckButtonClicked() override { ++clicks; }
  void OnAboutWindowDestroying() override {
    destroyingWithControls = ::FindWindowW(L"ZelvSecondaryWindow", nullptr);
  }
  int clicks = 0;
  HWND destroyingWithControls = nullptr;
};

class SecondaryWindowsTest : public ::testing::Test {
 protected:
  fakes::FakeForms forms_;
  std::unique_ptr<ISecondaryWindows> windows_ = MakeSecondaryWindows(forms_);
};

TEST_F(SecondaryWindowsTest, AboutWindowHasEveryControlOfItsForm) {
  NoEvents events;
  HWND shown = nullptr;
  Inspector::Run(
      *windows_, SecondaryWindow::About, &events,
      {[&](HWND window) {
         shown = window;
         EXPECT_EQ(WindowText(window), Text("检测更新/关于      ---- 部分图标素材来源于开源网站Icons8"));
         EXPECT_EQ(ClientSize(window).cx, 820);
         EXPECT_EQ(ClientSize(window).cy, 424);
         EXPECT_EQ(::GetParent(window), nullptr);
         EXPECT_TRUE(windows_->IsOpen(SecondaryWindow::About));
         ExpectControls(
             window,
             {
                 {"Static", "版本：1.0", 21, 25, 173, 17, true, false, false},
                 {"Button", "检测更新", 21, 64, 88, 24, true, true, false},
                 {"Static", "手动查看最新版本", 14, 105, 126, 20, true, true, false},
                 {"Static", "Zelv Monitor", 23, 141, 209, 17, true, false, false},
                 {"ZelvShapeBox", "", 8, 176, 304, 48, false, false, false},
                 {"Static", "", 12, 8, 30, 30, true, false, true},
                 {"Static", "正在检测更新中，请勿关闭本窗口", 55, 10, 241, 25, true, true, true},
                 {"Edit", "获取失败...", 23, 184, 288, 200, false, true, false},
                 {"Edit", "", 984, 104, 312, 256, true, false, false},
                 {"Static", "\r\n创作不易，有能力的朋友可自愿性支持下", 345, 3, 448, 56, true, false, false},
                 {"Static", "", 330, 62, 472, 322, true, false, false},
             });
         EXPECT_EQ(windows_->Caption(AboutControl::VersionLabel), Text("版本：1.0"));
         // The result box is multi-line with a vertical scroll bar.
         HWND result = FindByText(window, L"Edit", "获取失败...");
         ASSERT_NE(result, nullptr);
         const LONG style = ::GetWindowLongW(result, GWL_STYLE);
         EXPECT_TRUE((style & ES_MULTILINE) && (style & WS_VSCROLL));
         EXPECT_FALSE(style & ES_READONLY);
       },
       [&](HWND window) {
         HWND button = ::FindWindowExW(window, nullptr, L"Button", nullptr);
         ::SendMessageW(button, BM_CLICK, 0, 0);
         EXPECT_EQ(events.clicks, 1);
       }});
  EXPECT_EQ(events.destroyingWithControls, shown) << "the destroy event came after the window had gone";
  EXPECT_FALSE(windows_->IsOpen(SecondaryWindow::About));
  // Gone with its window: control calls are ignored instead of reaching a dead handle.
  windows_->SetText(AboutControl::ResultBox, "x");
  EXPECT_EQ(windows_->Caption(AboutControl::VersionLabel), Text());
}

TEST_F(SecondaryWindowsTest, SponsorWindowShowsTheTextAndThePicture) {
  Inspector::Run(*windows_, SecondaryWindow::Sponsor, nullptr, {[&](HWND window) {
    EXPECT_EQ(WindowText(window), Text("赞助"));
    EXPECT_EQ(ClientSize(window).cx, 644);
    EXPECT_EQ(ClientSize(window).cy, 474);
    ExpectControls(window, {
                               {"Static", "\r\n创作不易，有能力的朋友可自愿性支持下", 98, 16, 448, 56, true,
                                false, false},
                               {"Static", "", 83, 81, 472, 322, true, false, false},
                               {"Static", "Zelv Monitor", 267, 419, 117, 17, true, false, false},
                           });
    HWND picture = nullptr;
    for (HWND w : Descendants(window))
      if (PlaceIn(w, window).left == 83) picture = w;
    ASSERT_NE(picture, nullptr);
    EXPECT_GT(ColoursOf(picture), 10u) << "the picture was not drawn";
  }});
}

// The checking animation moves while the progress box shows, and the result box takes the
// colour it is given.
TEST_F(SecondaryWindowsTest, ProgressAnimatesAndResultTakesItsColour) {
  NoEvents events;
  HWND gif = nullptr;
  std::vector<COLORREF> first;
  Inspector::Run(
      *windows_, SecondaryWindow::About, &events,
      {[&](HWND window) {
         windows_->SetVisible(AboutControl::Progress, true);
         HWND box = ::FindWindowExW(window, nullptr, L"ZelvShapeBox", nullptr);
         ASSERT_NE(box, nullptr);
         EXPECT_TRUE(::IsWindowVisible(box));
         gif = ::FindWindowExW(box, nullptr, L"Static", L"");
       },
       [&](HWND) {
         ASSERT_NE(gif, nullptr);
         first = PixelsOf(gif);
         EXPECT_GT(ColoursOf(gif), 3u) << "the animation was not drawn";
       },
       [&](HWND) {}, [&](HWND) { EXPECT_NE(PixelsOf(gif), first) << "the animation did not move"; },
       [&](HWND window) {
         windows_->SetVisible(AboutControl::Progress, false);
         windows_->SetText(AboutControl::ResultBox, "检测失败，无法获取更新信息");
         windows_->SetTextColour(AboutControl::ResultBox, 255);
         windows_->SetVisible(AboutControl::ResultBox, true);
         HWND result = ::FindWindowExW(window, nullptr, L"Edit", nullptr);
         while (result != nullptr && PlaceIn(result, window).left != 23)
           result = ::FindWindowExW(window, result, L"Edit", nullptr);
         ASSERT_NE(result, nullptr);
         EXPECT_EQ(WindowText(result), Text("检测失败，无法获取更新信息"));
       },
       [&](HWND window) {
         HWND result = FindByText(window, L"Edit", "检测失败，无法获取更新信息");
         ASSERT_NE(result, nullptr);
         EXPECT_GT(e2e::CountPixels(result, [](int r, int g, int b) { return r > 180 && g < 80 && b < 80; }),
                   20);
       }});
}

// While a window is open the program's other parentless windows take no input; a window with
// a parent (the docked meter) stays enabled. All are as before once it closes.
TEST_F(SecondaryWindowsTest, ModalWindowDisablesOnlyOtherParentlessWindows) {
  HWND top = ::CreateWindowExW(0, L"STATIC", L"other top-level", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                               100, nullptr, nullptr, nullptr, nullptr);
  HWND child = ::CreateWindowExW(0, L"STATIC", L"docked", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, nullptr,
                                 nullptr, nullptr);
  ASSERT_TRUE(top && child);
  Inspector::Run(*windows_, SecondaryWindow::Sponsor, nullptr, {[&](HWND window) {
    EXPECT_FALSE(::IsWindowEnabled(top));
    EXPECT_TRUE(::IsWindowEnabled(child));
    EXPECT_TRUE(::IsWindowEnabled(window));
    // A second load while open returns at once and opens nothing.
    windows_->RunModal(SecondaryWindow::Sponsor, nullptr);
    int sponsors = 0;
    for (HWND w = ::FindWindowW(L"ZelvSecondaryWindow", nullptr); w;
         w = ::FindWindowExW(nullptr, w, L"ZelvSecondaryWindow", nullptr))
      ++sponsors;
    EXPECT_EQ(sponsors, 1);
  }});
  EXPECT_TRUE(::IsWindowEnabled(top));
  ::DestroyWindow(top);
}

// Nested windows: the about window is destroyed while the support window, opened from its
// time, runs its own loop, and a fresh about window opens and closes inside that loop. Each
// loop must still end with its own window.
struct NestedScript {
  static inline ISecondaryWindows* windows = nullptr;
  static inline int stage = 0;
  static inline int waited = 0;
  static inline bool hung = false;
  static inline HWND activeWhenAboutActivated = nullptr;
  static inline HWND sponsor = nullptr;

  static HWND Find(const char* caption) {
    return ::FindWindowW(L"ZelvSecondaryWindow", ToWide(caption).c_str());
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    switch (stage) {
      case 0:
        if (!Find("赞助") && Find("检测更新/关于      ---- 部分图标素材来源于开源网站Icons8")) {
          stage = 1;
          windows->RunModal(SecondaryWindow::Sponsor, nullptr);  // returns at stage 4
        }
        break;
      case 1:
        if (HWND about = Find("检测更新/关于      ---- 部分图标素材来源于开源网站Icons8")) {
          // Bringing the disabled about window forward brings the window taking input instead.
          windows->Activate(SecondaryWindow::About);
          activeWhenAboutActivated = ::GetActiveWindow();
          sponsor = Find("赞助");
          stage = 2;
          ::DestroyWindow(about);
        }
        break;
      case 2:
        stage = 3;
        windows->RunModal(SecondaryWindow::About, nullptr);
        stage = 4;
        break;
      case 3:
        if (HWND about = Find("检测更新/关于      ---- 部分图标素材来源于开源网站Icons8"))
          ::PostMessageW(about, WM_CLOSE, 0, 0);
        break;
      case 4:
        if (HWND sponsor = Find("赞助")) {
          stage = 5;
          ::PostMessageW(sponsor, WM_CLOSE, 0, 0);
        }
        break;
      default:
        // Everything is closed: the first loop should have ended by now.
        if (++waited == 20) {
          hung = true;
          ::PostQuitMessage(0);
        }
        break;
    }
  }
};

TEST_F(SecondaryWindowsTest, EachModalLoopEndsWithItsOwnWindow) {
  NestedScript::windows = windows_.get();
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, NestedScript::Tick);
  windows_->RunModal(SecondaryWindow::About, nullptr);
  ::KillTimer(nullptr, timer);
  MSG quit{};
  while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  EXPECT_EQ(NestedScript::stage, 5);
  EXPECT_NE(NestedScript::sponsor, nullptr);
  EXPECT_EQ(NestedScript::activeWhenAboutActivated, NestedScript::sponsor);
  EXPECT_FALSE(NestedScript::hung) << "the first about window's loop outlived its window";
  EXPECT_FALSE(windows_->IsOpen(SecondaryWindow::About));
  EXPECT_FALSE(windows_->IsOpen(SecondaryWindow::Sponsor));
}

}  // namespace
}  // namespace zelv::win32
