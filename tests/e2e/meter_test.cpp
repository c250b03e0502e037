// The meter as a user sees it with no taskbar to dock into: the level and mute labels follow
// the device soon after the window appears, and colour files beside the program colour the bar.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "driver.h"

namespace zelv::e2e {
namespace {

constexpr wchar_t kMainClass[] = L"Zelv Monitor";
// The control identifiers the program gives its children.
constexpr int kMuteLabelId = 101;
constexpr int kFillId = 103;
constexpr int kLevelLabelId = 104;

struct Running {
  Process app;
  HWND main = nullptr;
};

class Meter : public ::testing::Test {
 protected:
  void TearDown() override {
    if (running.main && IsWindow(running.main)) PostKey(running.main, VK_ESCAPE);
    if (running.app) {
      if (!running.app.WaitForExit(10s)) running.app.Kill();
    }
  }
  void Start() {
    ASSERT_TRUE(sandbox) << "could not copy " << TrimbellePath().string();
    running.app = sandbox.Launch();
    ASSERT_TRUE(running.app) << "CreateProcessW failed, error " << running.app.error();
    running.main = WaitForTopWindow(kMainClass, std::wstring(kMainClass), running.app.id(), 15s);
    ASSERT_NE(running.main, nullptr) << "no main window";
  }
  void WriteBeside(const char* name, const std::string& bytes) {
    std::ofstream(sandbox.dir() / name, std::ios::binary) << bytes;
  }

  Sandbox sandbox;
  Running running;
};

// Runs with the PulseAudio null sink, whose endpoint reads 100 % and not muted.
TEST_F(Meter, LabelsShowTheDeviceWithinASecondOfTheWindow) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const auto shown = std::chrono::steady_clock::now();
  const HWND level = GetDlgItem(running.main, kLevelLabelId);
  const HWND mute = GetDlgItem(running.main, kMuteLabelId);
  ASSERT_NE(level, nullptr);
  ASSERT_NE(mute, nullptr);
  const bool updated =
      WaitUntil([&] { return TextOf(level) == L"100" && TextOf(mute) == L"ON"; }, 1000ms, 20ms);
  const auto took = std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now() - shown);
  auto ascii = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
  EXPECT_TRUE(updated) << "level \"" << ascii(TextOf(level)) << "\", mute \"" << ascii(TextOf(mute))
                       << "\" after " << took.count() << " ms";
  const RECT fill = RectOf(GetDlgItem(GetDlgItem(running.main, 102), kFillId));
  EXPECT_EQ(fill.right - fill.left, 100);

  ASSERT_TRUE(PostKey(running.main, VK_ESCAPE));
  const auto code = running.app.WaitForExit(10s);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, DWORD{0});
}

TEST_F(Meter, ColourFilesBesideTheProgramColourTheBar) {
  WriteBeside("color.ini", "#FF0000");
  WriteBeside("color_bj.ini", "#0000FF");
  ASSERT_NO_FATAL_FAILURE(Start());
  // The window paints itself; read the fill's middle from the screen.
  const HWND fill = GetDlgItem(GetDlgItem(running.main, 102), kFillId);
  ASSERT_NE(fill, nullptr);
  COLORREF pixel = CLR_INVALID;
  const bool red = WaitUntil(
      [&] {
        const RECT r = RectOf(fill);
        const HDC screen = GetDC(nullptr);
        pixel = GetPixel(screen, r.left + 30, r.top + 3);
        ReleaseDC(nullptr, screen);
        return pixel == RGB(255, 0, 0);
      },
      3s);
  EXPECT_TRUE(red) << std::hex << pixel;
}

}  // namespace
}  // namespace zelv::e2e
