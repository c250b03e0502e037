#include <memory>

#include "platform/internet.h"
#include "platform/win32/backends.h"

namespace zelv::win32 {
std::unique_ptr<IInternet> MakeInternet() { return nullptr; }
}  // namespace zelv::win32
