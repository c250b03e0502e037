// The system, registry and shell-window backends against the real (Wine) Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/backends.h"

namespace zelv::win32 {
namespace {

constexpr char kTestKey[] = "SOFTWARE\\ZelvMonitorTest\\测试";

TEST(RegistryBackend, RoundTripsAChineseValueUnderLocalMachine) {
  auto registry = MakeRegistry();
  RegKey key = registry->OpenLocalMachine(kTestKey, RegAccess::Write);
  if (key == 0) key = registry->CreateLocalMachine(kTestKey);
  ASSERT_NE(key, 0u);
  const Text data = "\"C:\\音量 表\\Trimbelle.exe\"";
  EXPECT_TRUE(registry->SetStringValue(key, "名字", data, static_cast<std::uint32_t>(data.size() + 1)));
  registry->Close(key);

  const RegKey read = registry->OpenLocalMachine(kTestKey, RegAccess::Read);
  ASSERT_NE(read, 0u);
  EXPECT_TRUE(registry->QueryValueExists(read, "名字"));
  EXPECT_FALSE(registry->QueryValueExists(read, "absent"));
  registry->Close(read);

  // What another program reads back: the UTF-16 text, terminated, with a matching size.
  wchar_t buffer[64] = {};
  DWORD bytes = sizeof buffer;
  DWORD type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZelvMonitorTest\\\u6d4b\u8bd5", L"\u540d\u5b57",
                         RRF_RT_ANY, &type, buffer, &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD{REG_SZ});
  EXPECT_EQ(std::wstring(buffer), L"\"C:\\\u97f3\u91cf \u8868\\Trimbelle.exe\"");
  EXPECT_EQ(bytes, (std::wstring(buffer).size() + 1) * sizeof(wchar_t));

  EXPECT_EQ(RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZelvMonitorTest"), ERROR_SUCCESS);
  EXPECT_EQ(registry->OpenLocalMachine(kTestKey, RegAccess::Read), 0u);
}

TEST(SystemBackend, SecondClaimOfTheEventNameSeesTheFirst) {
  const Text name = "是否弹出信息框提示[逻辑型]rewrw-test";
  auto first = MakeSystem();
  auto second = MakeSystem();
  EXPECT_FALSE(first->OpenNamedEvent(name));
  const EventCreation created = first->CreateNamedEvent(name);
  EXPECT_TRUE(created.created);
  EXPECT_FALSE(created.alreadyExisted);
  EXPECT_TRUE(second->OpenNamedEvent(name));
  // The race: a creation that finds the event reports it.
  const EventCreation again = second->CreateNamedEvent(name);
  EXPECT_TRUE(again.created);
  EXPECT_TRUE(again.alreadyExisted);
  // The name is the CP936 text's, whatever API reaches it.
  HANDLE viaWide =
      OpenEventW(EVENT_ALL_ACCESS, FALSE,
                 L"\u662f\u5426\u5f39\u51fa\u4fe1\u606f\u6846\u63d0\u793a[\u903b\u8f91\u578b]rewrw-test");
  EXPECT_NE(viaWide, nullptr);
  if (viaWide) CloseHandle(viaWide);
  first.reset();
  second.reset();
  EXPECT_FALSE(MakeSystem()->OpenNamedEvent(name));  // gone with the last handle
}

TEST(SystemBackend, RunDirectoryAndNameMakeTheModulePath) {
  auto system = MakeSystem();
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const Text dir = system->RunDirectory();
  const Text exe = system->ExecutableName();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '\\');
  EXPECT_EQ(exe.find('\\'), Text::npos);
  const int length = WideCharToMultiByte(936, 0, module, -1, nullptr, 0, nullptr, nullptr);
  std::string expected(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(936, 0, module, -1, expected.data(), length, nullptr, nullptr);
  expected.resize(expected.size() - 1);
  EXPECT_EQ(dir + "\\" + exe, expected);
}

TEST(SystemBackend, StartHiddenReportsWhetherTheProcessStarted) {
  auto system = MakeSystem();
  EXPECT_TRUE(system->StartHidden("cmd.exe /c exit 0"));
  EXPECT_FALSE(system->StartHidden("\"C:\\no such dir\\nothing.bat\""));
}

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

TEST(ShellBackend, FindsAWindowByItsChineseTitleAndMovesAndReparentsIt) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ZelvShellTestClass";
  RegisterClassW(&wc);
  HWND parent = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 10, 20, 400, 60, nullptr, nullptr,
                                wc.hInstance, nullptr);
  HWND child = CreateWindowExW(0, wc.lpszClassName, L"\u8fd0\u884c\u4e2d\u7684\u5e94\u7528\u7a0b\u5e8f",
                               WS_CHILD, 0, 0, 100, 30, parent, nullptr, wc.hInstance, nullptr);
  HWND loose = CreateWindowExW(0, wc.lpszClassName, L"loose", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                               wc.hInstance, nullptr);
  ASSERT_TRUE(parent && child && loose);
  auto shell = MakeShellWindows();
  const auto P = reinterpret_cast<WindowHandle>(parent);
  const auto C = reinterpret_cast<WindowHandle>(child);
  const auto L = reinterpret_cast<WindowHandle>(loose);

  EXPECT_EQ(shell->FindWindowEx(P, "ZelvShellTestClass", "运行中的应用程序"), C);
  EXPECT_EQ(shell->FindWindowEx(P, "ZelvShellTestClass", ""), 0u)
      << "an empty title matches only empty titles";
  EXPECT_EQ(shell->FindWindowEx(0, "ZelvShellTestClass", ""), P);

  EXPECT_TRUE(shell->MoveWindow(C, 5, 6, 70, 40, true));
  Rect r;
  ASSERT_TRUE(shell->GetWindowRect(C, r));
  EXPECT_EQ(r.left, 15);
  EXPECT_EQ(r.top, 26);
  EXPECT_EQ(r.right - r.left, 70);
  EXPECT_EQ(r.bottom - r.top, 40);
  EXPECT_FALSE(shell->GetWindowRect(0, r));
  EXPECT_FALSE(shell->MoveWindow(0, 0, 0, 1, 1, true));

  EXPECT_EQ(shell->GetParent(L), 0u);
  shell->SetParent(L, P);
  EXPECT_EQ(shell->GetParent(L), P);
  EXPECT_EQ(shell->GetParent(C), P);

  DestroyWindow(loose);
  DestroyWindow(parent);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

}  // namespace
}  // namespace zelv::win32
