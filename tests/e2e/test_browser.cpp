// A stand-in default browser: the end-to-end tests register it for http addresses, and it
// appends each address it is asked to open (its first argument) as a line to the file named
// by ZELV_TEST_BROWSER_LOG, then ends.
#include <windows.h>

#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  wchar_t log[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"ZELV_TEST_BROWSER_LOG", log, MAX_PATH);
  if (args == nullptr || count < 2 || n == 0 || n >= MAX_PATH) return 1;
  const std::wstring line = std::wstring(args[1]) + L"\n";
  LocalFree(args);
  HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  return ok ? 0 : 1;
}
