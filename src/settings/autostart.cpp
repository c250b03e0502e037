#include "settings/autostart.h"

namespace zelv {
void OnMenuAutostart(App&) {}
}  // namespace zelv
