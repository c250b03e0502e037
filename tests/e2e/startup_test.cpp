// The program's life from outside: it starts, shows its window, and Esc ends it cleanly.
#include <gtest/gtest.h>

#include "driver.h"

namespace zelv::e2e {
namespace {

constexpr wchar_t kMainClass[] = L"Zelv Monitor";

TEST(Startup, ShowsItsWindowAndEndsOnEscWithExitCodeZero) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox) << "could not copy " << TrimbellePath().string();
  Process app = sandbox.Launch();
  ASSERT_TRUE(app) << "CreateProcessW failed, error " << app.error();

  HWND main = WaitForTopWindow(kMainClass, std::wstring(kMainClass), app.id(), 15s);
  if (!main) {
    const auto code = app.WaitForExit(0ms);
    app.Kill();
    FAIL() << "no \"Zelv Monitor\" window appeared"
           << (code ? " (the program ended with exit code " + std::to_string(*code) + ")" : "");
  }
  EXPECT_TRUE(IsTopLevel(main));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 5s));

  ASSERT_TRUE(PostKey(main, VK_ESCAPE));
  const auto code = app.WaitForExit(10s);
  if (!code) app.Kill();
  ASSERT_TRUE(code.has_value()) << "still running 10 s after Esc";
  EXPECT_EQ(*code, DWORD{0});
  EXPECT_FALSE(IsWindow(main));
}

}  // namespace
}  // namespace zelv::e2e
