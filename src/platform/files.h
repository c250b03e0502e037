#pragma once
// Files beside the executable. Paths are CP936 texts; the real layer converts them.
#include <cstddef>
#include <optional>

#include "platform/types.h"

namespace zelv {

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // The whole file, or at most maxBytes of it; nullopt when it cannot be opened.
  [[nodiscard]] virtual std::optional<Bytes> ReadFile(const Text& path, std::size_t maxBytes) = 0;
  // Create or truncate, then write. True when every byte was written.
  virtual bool WriteFile(const Text& path, const Bytes& bytes) = 0;
  // DeleteFileA; true when the file was deleted.
  virtual bool DeleteFile(const Text& path) = 0;
  // FindFirstFileW on the path: nullopt when nothing is found, otherwise whether the entry
  // found is a directory.
  [[nodiscard]] virtual std::optional<bool> FindFirstIsDirectoryW(const Text& path) = 0;
  // FindFirstFileA on the path: true when an entry is found.
  [[nodiscard]] virtual bool FindFirstA(const Text& path) = 0;
  // GetShortPathNameW; empty when the system gives no short form.
  [[nodiscard]] virtual Text ShortPathName(const Text& path) = 0;
};

}  // namespace zelv
