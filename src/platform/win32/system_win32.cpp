// Where the program lives, its single-instance event and its child processes. Names go to
// the W functions converted from CP936: the kernel object is the same one the ANSI calls
// would reach on a Chinese system, and the right one on any other code page too.
#include <objbase.h>  // handles.h needs the COM calls
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/backends.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"

namespace zelv::win32 {
namespace {

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: long paths exceed MAX_PATH
  }
}

class System final : public ISystem {
 public:
  Text RunDirectory() override {
    const std::wstring path = ModulePath();
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? Text{} : FromWide(path.substr(0, slash));
  }

  Text ExecutableName() override {
    const std::wstring path = ModulePath();
    const std::size_t slash = path.find_last_of(L'\\');
    return FromWide(slash == std::wstring::npos ? path : path.substr(slash + 1));
  }

  bool OpenNamedEvent(const Text& name) override {
    ScopedKernelHandle event(::OpenEventW(EVENT_ALL_ACCESS, FALSE, ToWide(name).c_str()));
    if (!event) return false;
    held_.push_back(std::move(event));
    return true;
  }

  EventCreation CreateNamedEvent(const Text& name) override {
    ScopedKernelHandle event(::CreateEventW(nullptr, FALSE, FALSE, ToWide(name).c_str()));
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (!event) return {};
    // The name lives exactly as long as this process keeps the handle.
    held_.push_back(std::move(event));
    return {true, existed};
  }

  bool StartHidden(const Text& commandLine) override {
    std::wstring line = ToWide(commandLine);  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
      return false;
    const ScopedKernelHandle process(info.hProcess);
    const ScopedKernelHandle thread(info.hThread);
    // A console process has no input queue and returns at once; nothing waits for it to end.
    ::WaitForInputIdle(process.get(), 1000);
    return true;
  }

  void TerminateOwnProcess() override { ::TerminateProcess(::GetCurrentProcess(), 0); }

 private:
  std::vector<ScopedKernelHandle> held_;
};

}  // namespace

std::unique_ptr<ISystem> MakeSystem() { return std::make_unique<System>(); }

}  // namespace zelv::win32
