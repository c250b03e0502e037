#pragma once
// The registry under HKEY_LOCAL_MACHINE, as the autostart command uses it.
#include <cstdint>

#include "platform/types.h"

namespace zelv {

enum class RegAccess { Read, Write };
using RegKey = std::uintptr_t;  // 0 = not open

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // RegOpenKeyExA(HKLM, subkey, 0, KEY_READ or KEY_WRITE); 0 on failure.
  virtual RegKey OpenLocalMachine(const Text& subkey, RegAccess access) = 0;
  // RegCreateKeyA(HKLM, subkey); 0 on failure.
  virtual RegKey CreateLocalMachine(const Text& subkey) = 0;
  // RegSetValueExA(key, name, 0, REG_SZ, data, byteCount); byteCount counts the stored bytes.
  virtual bool SetStringValue(RegKey key, const Text& name, const Text& data, std::uint32_t byteCount) = 0;
  // RegQueryValueExA(key, name, ...) without a data buffer: true on success.
  virtual bool QueryValueExists(RegKey key, const Text& name) = 0;
  virtual void Close(RegKey key) = 0;
};

}  // namespace zelv
