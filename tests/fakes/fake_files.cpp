#include "fakes/fake_files.h"

#include <string>

namespace zelv::fakes {

FakeFileSystem::FakeFileSystem(CallLog* log) : log_(log ? log : &ownLog_) {}

std::optional<Bytes> FakeFileSystem::ReadFile(const Text& path, std::size_t maxBytes) {
  log_->Add("ReadFile(" + path + "," + std::to_string(maxBytes) + ")");
  lastReadLimit_ = maxBytes;
  auto it = files_.find(path);
  if (it == files_.end() || unreadable_.count(path)) return std::nullopt;
  return it->second.substr(0, maxBytes);
}

bool FakeFileSystem::WriteFile(const Text& path, const Bytes& bytes) {
  log_->Add("WriteFile(" + path + "," + bytes + ")");
  if (readOnly_ || directories_.count(path)) return false;
  files_[path] = bytes;
  return true;
}

bool FakeFileSystem::DeleteFile(const Text& path) {
  log_->Add("DeleteFile(" + path + ")");
  if (readOnly_) return false;
  return files_.erase(path) != 0;
}

std::optional<bool> FakeFileSystem::FindFirstIsDirectoryW(const Text& path) {
  log_->Add("FindFirstIsDirectoryW(" + path + ")");
  if (directories_.count(path)) return true;
  if (files_.count(path)) return false;
  return std::nullopt;
}

bool FakeFileSystem::FindFirstA(const Text& path) {
  log_->Add("FindFirstA(" + path + ")");
  return directories_.count(path) || files_.count(path);
}

Text FakeFileSystem::ShortPathName(const Text& path) {
  log_->Add("ShortPathName(" + path + ")");
  auto it = shortNames_.find(path);
  return it == shortNames_.end() ? path : it->second;
}

std::optional<Bytes> FakeFileSystem::Content(const Text& path) const {
  auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

}  // namespace zelv::fakes
