// Files beside the executable. Paths arrive as CP936 texts and are converted once, so the W
// functions see the right names whatever the system's ANSI code page is.
#include <windows.h>
#undef DeleteFile  // the interface method keeps its own name
#include <objbase.h>

#include <algorithm>

#include "platform/win32/backends.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"

namespace zelv::win32 {
namespace {

class FileSystem final : public IFileSystem {
 public:
  std::optional<Bytes> ReadFile(const Text& path, std::size_t maxBytes) override {
    const ScopedKernelHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    Bytes bytes;
    // Read in chunks up to the cap, so an endless or huge file costs at most the cap.
    constexpr DWORD kChunk = 64 * 1024;
    while (bytes.size() < maxBytes) {
      const std::size_t want = std::min<std::size_t>(kChunk, maxBytes - bytes.size());
      const std::size_t old = bytes.size();
      bytes.resize(old + want);
      DWORD got = 0;
      if (!::ReadFile(file.get(), bytes.data() + old, static_cast<DWORD>(want), &got, nullptr)) {
        bytes.resize(old);
        break;
      }
      bytes.resize(old + got);
      if (got == 0) break;
    }
    return bytes;
  }

  bool WriteFile(const Text& path, const Bytes& bytes) override {
    const ScopedKernelHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
      DWORD done = 0;
      const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
      if (!::WriteFile(file.get(), bytes.data() + written, want, &done, nullptr) || done == 0) return false;
      written += done;
    }
    return true;
  }

  bool DeleteFile(const Text& path) override { return ::DeleteFileW(ToWide(path).c_str()) != FALSE; }

  std::optional<bool> FindFirstIsDirectoryW(const Text& path) override {
    WIN32_FIND_DATAW found{};
    const ScopedFindHandle find(::FindFirstFileW(ToWide(path).c_str(), &found));
    if (!find) return std::nullopt;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  bool FindFirstA(const Text& path) override {
    WIN32_FIND_DATAW found{};
    const ScopedFindHandle find(::FindFirstFileW(ToWide(path).c_str(), &found));
    return static_cast<bool>(find);
  }

  Text ShortPathName(const Text& path) override {
    const std::wstring wide = ToWide(path);
    const DWORD needed = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring shortName(needed, L'\0');
    const DWORD length = ::GetShortPathNameW(wide.c_str(), shortName.data(), needed);
    if (length == 0 || length >= needed) return {};
    return FromWide(shortName.data(), static_cast<int>(length));
  }
};

}  // namespace

std::unique_ptr<IFileSystem> MakeFileSystem() { return std::make_unique<FileSystem>(); }

}  // namespace zelv::win32
