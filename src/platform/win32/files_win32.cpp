#include "platform/win32/backends.h"

namespace zelv::win32 {
std::unique_ptr<IFileSystem> MakeFileSystem() { return nullptr; }
}  // namespace zelv::win32
