#include "fakes/fake_registry.h"

namespace zelv::fakes {

RegKey FakeRegistry::Issue(const Text& subkey, RegAccess access) {
  const RegKey key = next_++;
  open_[key] = {subkey, access};
  return key;
}

RegKey FakeRegistry::OpenLocalMachine(const Text& subkey, RegAccess access) {
  Log((access == RegAccess::Read ? "RegOpenRead(" : "RegOpenWrite(") + subkey + ")");
  if (keys.count(subkey) == 0) return 0;
  if ((access == RegAccess::Read && refuseOpenRead) || (access == RegAccess::Write && refuseOpenWrite))
    return 0;
  return Issue(subkey, access);
}

RegKey FakeRegistry::CreateLocalMachine(const Text& subkey) {
  Log("RegCreate(" + subkey + ")");
  if (refuseCreate) return 0;
  keys[subkey];
  // RegCreateKeyA opens with all access.
  return Issue(subkey, RegAccess::Write);
}

bool FakeRegistry::SetStringValue(RegKey key, const Text& name, const Text& data, std::uint32_t byteCount) {
  Log("RegSetValue(" + name + ")");
  const auto it = open_.find(key);
  if (it == open_.end() || it->second.access != RegAccess::Write || refuseSetValue) return false;
  keys[it->second.subkey][name] = {data, byteCount};
  return true;
}

bool FakeRegistry::QueryValueExists(RegKey key, const Text& name) {
  Log("RegQueryValue(" + name + ")");
  const auto it = open_.find(key);
  if (it == open_.end()) return false;
  const auto& values = keys[it->second.subkey];
  return values.count(name) != 0;
}

void FakeRegistry::Close(RegKey key) {
  Log("RegClose");
  open_.erase(key);
}

}  // namespace zelv::fakes
