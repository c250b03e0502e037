#include <memory>

#include "platform/secondary_windows.h"
#include "platform/win32/backends.h"

namespace zelv::win32 {
std::unique_ptr<ISecondaryWindows> MakeSecondaryWindows(IForms&) { return nullptr; }
}  // namespace zelv::win32
