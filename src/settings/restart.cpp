#include "settings/restart.h"

namespace zelv {
void RestartProgram(App&) {}
}  // namespace zelv
