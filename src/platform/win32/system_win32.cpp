#include "platform/win32/backends.h"

namespace zelv::win32 {
std::unique_ptr<ISystem> MakeSystem() { return nullptr; }
}  // namespace zelv::win32
