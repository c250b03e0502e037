#include "platform/win32/backends.h"

namespace zelv::win32 {
std::unique_ptr<IAudioBackend> MakeAudioBackend() { return nullptr; }
}  // namespace zelv::win32
