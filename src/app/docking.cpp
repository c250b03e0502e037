#include "app/docking.h"

namespace zelv {
void DockIntoTaskbar(App&) {}
void RefreshTaskbarPosition(App&) {}
void RestoreTaskbarOnExit(App&) {}
}  // namespace zelv
