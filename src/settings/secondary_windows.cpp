#include "settings/secondary_windows.h"

namespace zelv {
void OpenAboutWindow(App&) {}
void OpenSponsorWindow(App&) {}
}  // namespace zelv
