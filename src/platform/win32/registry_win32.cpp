// HKEY_LOCAL_MACHINE through the W functions, so key and value names with Chinese
// characters survive on any system code page.
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/backends.h"
#include "platform/win32/wide_text.h"

namespace zelv::win32 {
namespace {

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

class Registry final : public IRegistry {
 public:
  RegKey OpenLocalMachine(const Text& subkey, RegAccess access) override {
    HKEY key = nullptr;
    const REGSAM sam = access == RegAccess::Read ? KEY_READ : KEY_WRITE;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, ToWide(subkey).c_str(), 0, sam, &key) != ERROR_SUCCESS) return 0;
    return FromHkey(key);
  }

  RegKey CreateLocalMachine(const Text& subkey) override {
    HKEY key = nullptr;
    if (::RegCreateKeyW(HKEY_LOCAL_MACHINE, ToWide(subkey).c_str(), &key) != ERROR_SUCCESS) return 0;
    return FromHkey(key);
  }

  bool SetStringValue(RegKey key, const Text& name, const Text& data, std::uint32_t byteCount) override {
    // byteCount counts CP936 bytes; the W function stores UTF-16, so the same text is
    // converted and counted again in its own units, terminator included when it was.
    const std::size_t textBytes = std::min<std::size_t>(byteCount, data.size());
    std::wstring wide = ToWide(data.substr(0, textBytes));
    const bool terminated = byteCount > data.size();
    const std::size_t units = wide.size() + (terminated ? 1 : 0);
    return ::RegSetValueExW(ToHkey(key), ToWide(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(wide.c_str()),
                            static_cast<DWORD>(units * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

  bool QueryValueExists(RegKey key, const Text& name) override {
    return ::RegQueryValueExW(ToHkey(key), ToWide(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
  }

  void Close(RegKey key) override {
    if (key != 0) ::RegCloseKey(ToHkey(key));
  }
};

}  // namespace

std::unique_ptr<IRegistry> MakeRegistry() { return std::make_unique<Registry>(); }

}  // namespace zelv::win32
