#pragma once
// HKEY_LOCAL_MACHINE in memory: keys, REG_SZ values with the byte count they were stored
// with, and switches that refuse opening, creating or writing.
#include <map>

#include "fakes/call_log.h"
#include "platform/registry.h"

namespace zelv::fakes {

struct StoredValue {
  Text data;
  std::uint32_t byteCount = 0;
};

class FakeRegistry final : public IRegistry {
 public:
  explicit FakeRegistry(CallLog* log = nullptr) : log_(log) {}

  RegKey OpenLocalMachine(const Text& subkey, RegAccess access) override;
  RegKey CreateLocalMachine(const Text& subkey) override;
  bool SetStringValue(RegKey key, const Text& name, const Text& data, std::uint32_t byteCount) override;
  bool QueryValueExists(RegKey key, const Text& name) override;
  void Close(RegKey key) override;

  // subkey -> value name -> value
  std::map<Text, std::map<Text, StoredValue>> keys;
  bool refuseOpenRead = false;
  bool refuseOpenWrite = false;
  bool refuseCreate = false;
  bool refuseSetValue = false;

  [[nodiscard]] int OpenHandles() const { return static_cast<int>(open_.size()); }
  [[nodiscard]] bool Touched() const { return touched_; }

 private:
  struct OpenKey {
    Text subkey;
    RegAccess access;
  };
  RegKey Issue(const Text& subkey, RegAccess access);
  void Log(const std::string& entry) {
    touched_ = true;
    if (log_) log_->Add(entry);
  }
  CallLog* log_;
  std::map<RegKey, OpenKey> open_;
  RegKey next_ = 0x100;
  bool touched_ = false;
};

}  // namespace zelv::fakes
