#pragma once
// Files and directories in memory. A read-only switch makes every write and delete fail, as
// in a program directory the user cannot write to. Every call is written to a CallLog.
#include <cstddef>
#include <map>
#include <optional>
#include <set>

#include "fakes/call_log.h"
#include "platform/files.h"

namespace zelv::fakes {

class FakeFileSystem final : public IFileSystem {
 public:
  explicit FakeFileSystem(CallLog* log = nullptr);

  // --- IFileSystem
  std::optional<Bytes> ReadFile(const Text& path, std::size_t maxBytes) override;
  bool WriteFile(const Text& path, const Bytes& bytes) override;
  bool DeleteFile(const Text& path) override;
  std::optional<bool> FindFirstIsDirectoryW(const Text& path) override;
  bool FindFirstA(const Text& path) override;
  Text ShortPathName(const Text& path) override;

  // --- test controls
  void PutFile(const Text& path, Bytes bytes) { files_[path] = std::move(bytes); }
  void PutDirectory(const Text& path) { directories_.insert(path); }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // A file that exists but cannot be opened (sharing violation, no access).
  void SetUnreadable(const Text& path) { unreadable_.insert(path); }
  // The short form ShortPathName gives; without one it gives the path unchanged, as Windows
  // does where 8.3 names are turned off.
  void SetShortName(const Text& path, Text shortName) { shortNames_[path] = std::move(shortName); }

  [[nodiscard]] bool Exists(const Text& path) const { return files_.count(path) != 0; }
  [[nodiscard]] std::optional<Bytes> Content(const Text& path) const;
  [[nodiscard]] CallLog& log() { return *log_; }
  // The maxBytes of the last ReadFile.
  [[nodiscard]] std::optional<std::size_t> lastReadLimit() const { return lastReadLimit_; }

 private:
  CallLog ownLog_;
  CallLog* log_;
  std::map<Text, Bytes> files_;
  std::set<Text> directories_;
  std::set<Text> unreadable_;
  std::map<Text, Text> shortNames_;
  bool readOnly_ = false;
  std::optional<std::size_t> lastReadLimit_;
};

}  // namespace zelv::fakes
