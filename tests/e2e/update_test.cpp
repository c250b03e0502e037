// The about window's update check from outside, against the local test server: the test
// build of Trimbelle.exe probes https://localhost:47444 (a certificate nobody trusts) and reads
// its update page from https://localhost:47443/update.html (a certificate the run trusts).
// Update pages are made by the publisher tool, as the maker would make them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "driver.h"
#include "test_certificate.h"

namespace zelv::e2e {
namespace {

namespace fs = std::filesystem;

[[maybe_unused]] const auto* const kTrust =
    ::testing::AddGlobalTestEnvironment(new TrustTestCertificateForRun);

constexpr wchar_t kMainClass[] = L"Zelv Monitor";
constexpr wchar_t kWindowClass[] = L"ZelvSecondaryWindow";
constexpr wchar_t kAboutCaption[] =
    L"\u68c0\u6d4b\u66f4\u65b0/\u5173\u4e8e      ---- \u90e8\u5206\u56fe\u6807\u7d20\u6750\u6765\u6e90\u4e8e"
    L"\u5f00\u6e90\u7f51\u7ad9Icons8";  // 检测更新/关于      ---- 部分图标素材来源于开源网站Icons8
constexpr wchar_t kSponsorCaption[] = L"\u8d5e\u52a9";           // 赞助
constexpr wchar_t kCheckButton[] = L"\u68c0\u6d4b\u66f4\u65b0";  // 检测更新
constexpr int kAboutRow = 4;
constexpr int kSupportRow = 5;
// The probe site's home page must carry this (百度一下, UTF-8).
constexpr char kMarker[] = "\xe7\x99\xbe\xe5\xba\xa6\xe4\xb8\x80\xe4\xb8\x8b";

bool IsRed(int r, int g, int b) { return r > 180 && g < 80 && b < 80; }
bool IsTeal(int r, int g, int b) { return r < 60 && g > 90 && b > 90 && std::abs(g - b) < 40; }

class UpdateScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto www = Env("ZELV_TEST_WWW");
    if (!www) GTEST_SKIP() << "the local test server is not running";
    ASSERT_TRUE(TrustTestCertificateForRun::certificate()->trusted())
        << TrustTestCertificateForRun::certificate()->error();
    www_ = *www;
    for (const char* name : {"index.html", "update.html", "update.html.stall"}) fs::remove(www_ / name);
    ASSERT_TRUE(sandbox_) << "could not copy " << TrimbellePath().string();
  }
  void TearDown() override {
    for (const char* name : {"index.html", "update.html", "update.html.stall"}) fs::remove(www_ / name);
    if (app_ && app_.Running()) {
      if (main_ && IsWindow(main_)) PostKey(main_, VK_ESCAPE);
      if (!app_.WaitForExit(10s)) app_.Kill();
    }
  }

  void Write(const char* name, const std::string& bytes) {
    std::ofstream(www_ / name, std::ios::binary) << bytes;
  }
  void ServeProbeSite(bool withMarker) {
    Write("index.html",
          withMarker ? std::string("<html><body><input type=submit value=\"") + kMarker + "\"></body></html>"
                     : "<html><body>Sign in to use this network</body></html>");
  }
  // The update page as the publisher makes it; notes as UTF-8.
  void Publish(const std::string& version, const std::string& download, const std::string& notes) {
    const fs::path notesFile = sandbox_.dir() / "notes.txt";
    std::ofstream(notesFile, std::ios::binary) << notes;
    const std::wstring args = L"page --version " + fs::path(version).wstring() + L" --download " +
                              fs::path(download).wstring() + L" --notes-file \"" + notesFile.wstring() +
                              L"\" --out \"" + (www_ / "update.html").wstring() + L"\"";
    Process publisher = Process::Launch(PublisherPath(), args, sandbox_.dir());
    ASSERT_TRUE(publisher) << "cannot start " << PublisherPath().string();
    ASSERT_EQ(publisher.WaitForExit(30s), std::optional<DWORD>(0));
  }

  // Starts the meter and opens the about window from its menu. Docked, the meter stays
  // enabled while a window of its is open, as it does for a user; undocked it is disabled, and
  // only the driver's posted input reaches it.
  HWND OpenAbout(bool docked = false) {
    if (docked && !bar_.tray() && !bar_.Start()) return nullptr;
    app_ = sandbox_.Launch();
    if (!app_) return nullptr;
    main_ = nullptr;
    WaitUntil(
        [&] {
          if (docked)
            return (main_ = FindWindowExW(bar_.rebar(), nullptr, kMainClass, kMainClass)) != nullptr;
          main_ = WaitForTopWindow(kMainClass, std::wstring(kMainClass), app_.id(), 0ms);
          return main_ != nullptr;
        },
        15s);
    if (!main_ || !ChooseMenuRow(main_, kAboutRow)) return nullptr;
    return WaitForTopWindow(kWindowClass, std::wstring(kAboutCaption), app_.id(), 10s);
  }
  static bool PressCheck(HWND about) {
    HWND button = FindChild(about, L"Button", std::wstring(kCheckButton));
    return button && PostMessageW(button, BM_CLICK, 0, 0);
  }
  // 编辑框11: the edit box inside the window (the page text box sits outside it).
  static HWND ResultBox(HWND about) {
    const RECT window = RectOf(about);
    for (HWND child = FindWindowExW(about, nullptr, L"Edit", nullptr); child;
         child = FindWindowExW(about, child, L"Edit", nullptr))
      if (RectOf(child).left < window.right) return child;
    return nullptr;
  }
  // The result box once it shows, with its text.
  static std::wstring WaitForResult(HWND about, Duration limit) {
    HWND box = ResultBox(about);
    if (!box || !WaitUntil([&] { return IsWindowVisible(box) != FALSE; }, limit)) return L"(no result shown)";
    return TextOf(box);
  }
  // The shape box with the animation and "正在检测更新中，请勿关闭本窗口".
  static HWND ProgressBox(HWND about) { return FindChild(about, L"ZelvShapeBox"); }

  fs::path www_;
  Sandbox sandbox_;
  TestTaskbar bar_;
  Process app_;
  HWND main_ = nullptr;
};

TEST_F(UpdateScenario, TheRunningVersionGivesTheUpToDateMessage) {
  ServeProbeSite(true);
  Publish("1.0", "https://example.cn/Trimbelle-1.0.zip", "first release");
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_NE(FindChild(about, L"Static", std::wstring(L"\u7248\u672c\uff1a1.0")), nullptr);  // 版本：1.0
  HWND progress = ProgressBox(about);
  ASSERT_NE(progress, nullptr);
  EXPECT_FALSE(IsWindowVisible(progress));

  ASSERT_TRUE(PressCheck(about));
  EXPECT_EQ(DismissMessageBox(app_.id(), 30s), L"\u5f53\u524d\u5df2\u662f\u6700\u65b0\u7248\u672c\u4e86");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(progress); }, 5s));
  EXPECT_FALSE(IsWindowVisible(ResultBox(about)));
}

TEST_F(UpdateScenario, AnotherVersionShowsVersionAddressAndNotesInTheResultBox) {
  ServeProbeSite(true);
  Publish("1.1", "https://example.cn/Trimbelle-1.1.zip",
          "\xe4\xbf\xae\xe5\xa4\x8d\xe9\x9d\x99\xe9\x9f\xb3\n"
          "Faster start");  // 修复静音
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  ASSERT_TRUE(PressCheck(about));
  EXPECT_EQ(WaitForResult(about, 30s),
            L"\u6700\u65b0\u7248\u672c\uff1a1.1\r\n\r\n\u4e0b\u8f7d\u5730\u5740\uff1a"
            L"https://example.cn/Trimbelle-1.1.zip\r\n\r\n\u66f4\u65b0\u5185\u5bb9\uff1a"
            L"\u4fee\u590d\u9759\u97f3\r\nFaster start");
  EXPECT_FALSE(IsWindowVisible(ProgressBox(about)));
  EXPECT_TRUE(WaitUntil([&] { return CountPixels(ResultBox(about), IsTeal) > 20; }, 3s));
  EXPECT_EQ(CountPixels(ResultBox(about), IsRed), 0);
}

TEST_F(UpdateScenario, FailuresShowInRed) {
  struct Case {
    const char* name;
    bool marker;
    bool page;
    std::wstring text;
  } cases[] = {
      // 检测失败，系统未连接互联网: a network answering with a page of its own
      {"no probe marker", false, true,
       L"\u68c0\u6d4b\u5931\u8d25\uff0c\u7cfb\u7edf\u672a\u8fde\u63a5\u4e92\u8054\u7f51"},
      // 检测失败，无法获取更新信息
      {"no update page", true, false,
       L"\u68c0\u6d4b\u5931\u8d25\uff0c\u65e0\u6cd5\u83b7\u53d6\u66f4\u65b0\u4fe1\u606f"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ServeProbeSite(c.marker);
    fs::remove(www_ / "update.html");
    if (c.page) Publish("1.1", "https://example.cn/x.zip", "notes");
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(PressCheck(about));
    EXPECT_EQ(WaitForResult(about, 30s), c.text);
    EXPECT_TRUE(WaitUntil([&] { return CountPixels(ResultBox(about), IsRed) > 20; }, 3s));
    EXPECT_TRUE(TopWindows(L"#32770", std::nullopt, app_.id()).empty()) << "a message box came up";
    PostKey(main_, VK_ESCAPE);
    EXPECT_EQ(app_.WaitForExit(10s), std::optional<DWORD>(0));
  }
}

// The window may be closed while the worker still waits on the network: the worker is left
// to end by its time-outs, and nothing of it reaches the screen afterwards.
TEST_F(UpdateScenario, ClosingDuringAStalledCheckLeavesNoMessageAndNoCrash) {
  ServeProbeSite(true);
  Publish("1.0", "https://example.cn/Trimbelle-1.0.zip", "first release");
  Write("update.html.stall", "");
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  ASSERT_TRUE(PressCheck(about));
  HWND progress = ProgressBox(about);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(progress) != FALSE; }, 5s));
  Sleep(1000);  // the worker is now waiting for the stalled page
  ASSERT_TRUE(PostClose(about));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5s));

  // Past the worker's time-outs: it has ended, and said nothing.
  EXPECT_EQ(WaitForTopWindow(L"#32770", std::nullopt, app_.id(), 20s), nullptr) << "a message box came up";
  EXPECT_TRUE(app_.Running());
  // The program still answers: a new about window opens, and Escape ends it cleanly.
  HWND again = nullptr;
  ASSERT_TRUE(ChooseMenuRow(main_, kAboutRow));
  again = WaitForTopWindow(kWindowClass, std::wstring(kAboutCaption), app_.id(), 10s);
  EXPECT_NE(again, nullptr);
  if (again) PostClose(again);
  EXPECT_TRUE(WaitUntil([&] { return again == nullptr || !IsWindow(again); }, 5s));
  PostKey(main_, VK_ESCAPE);
  EXPECT_EQ(app_.WaitForExit(10s), std::optional<DWORD>(0));
}

// Choosing an open window's command again brings that window forward instead of a second one.
TEST_F(UpdateScenario, EachWindowOpensOnceFromTheMenu) {
  HWND about = OpenAbout(true);
  ASSERT_NE(about, nullptr);
  ASSERT_TRUE(ChooseMenuRow(main_, kAboutRow));
  Sleep(1000);
  EXPECT_EQ(TopWindows(kWindowClass, std::wstring(kAboutCaption), app_.id()).size(), 1u);
  PostClose(about);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5s));

  ASSERT_TRUE(ChooseMenuRow(main_, kSupportRow));
  HWND sponsor = WaitForTopWindow(kWindowClass, std::wstring(kSponsorCaption), app_.id(), 10s);
  ASSERT_NE(sponsor, nullptr);
  // 创作不易，有能力的朋友可自愿性支持下
  EXPECT_NE(
      FindChild(sponsor, L"Static",
                std::wstring(L"\r\n\u521b\u4f5c\u4e0d\u6613\uff0c\u6709\u80fd\u529b\u7684\u670b\u53cb\u53ef"
                             L"\u81ea\u613f\u6027\u652f\u6301\u4e0b")),
      nullptr);
  ASSERT_TRUE(ChooseMenuRow(main_, kSupportRow));
  Sleep(1000);
  EXPECT_EQ(TopWindows(kWindowClass, std::wstring(kSponsorCaption), app_.id()).size(), 1u);
  PostClose(sponsor);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(sponsor); }, 5s));
}

// The stand-in browser registered for http addresses for the length of a test, then the
// registration as it was.
class StandInBrowser {
 public:
  explicit StandInBrowser(const fs::path& log) {
    wchar_t old[2048] = {};
    DWORD bytes = sizeof old;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, RRF_RT_REG_SZ, nullptr, old, &bytes) == ERROR_SUCCESS)
      old_ = old;
    Set(L"\"" + TestBrowserPath().wstring() + L"\" \"%1\"");
    SetEnvironmentVariableW(L"ZELV_TEST_BROWSER_LOG", log.wstring().c_str());
  }
  ~StandInBrowser() {
    if (old_) Set(*old_);
    SetEnvironmentVariableW(L"ZELV_TEST_BROWSER_LOG", nullptr);
  }
  StandInBrowser(const StandInBrowser&) = delete;
  StandInBrowser& operator=(const StandInBrowser&) = delete;

 private:
  static constexpr wchar_t kKey[] = L"Software\\Classes\\http\\shell\\open\\command";
  static void Set(const std::wstring& command) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, REG_SZ, command.c_str(),
                    static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  }
  std::optional<std::wstring> old_;
};

std::wstring ReadWide(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

TEST_F(UpdateScenario, TheLinkOpensTheHomePageInTheDefaultBrowser) {
  const fs::path log = sandbox_.dir() / "browser.log";
  StandInBrowser browser(log);
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  // 手动查看最新版本
  HWND link = FindChild(about, L"Static", std::wstring(L"\u624b\u52a8\u67e5\u770b\u6700\u65b0\u7248\u672c"));
  ASSERT_NE(link, nullptr);
  PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(WaitUntil([&] { return ReadWide(log).find(L"http://localhost:47080/home.html\n") == 0; }, 15s))
      << "the browser was asked for: " << fs::path(ReadWide(log)).string();
  EXPECT_TRUE(IsWindow(about)) << "the about window closed";
}

}  // namespace
}  // namespace zelv::e2e
