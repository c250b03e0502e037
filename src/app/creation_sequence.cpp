#include "app/creation_sequence.h"

#include "app/app.h"
#include "app/docking.h"
#include "app/guard.h"
#include "audio/volume_display.h"
#include "platform/forms.h"
#include "settings/autostart.h"
#include "settings/colour_scheme.h"

namespace zelv {

void RunCreationSequence(App& app) {
  // A later instance must end before it reads a file, touches the registry or the taskbar,
  // or starts a thread: the first instance owns all of them.
  if (!GuardSingleInstance(app, InstanceEventName)) return;
  ApplyColourFiles(app);
  ApplyInitialBarLength(app);
  DockIntoTaskbar(app);
  StartVolumePoller(app);
  ApplyInitialMuteState(app);
  const bool autostart = AutostartValue(app, kAutostartValueName, AutostartCommand(app), true) == 1;
  app.platform().forms->SetMenuCheck(MenuCommand::Autostart, autostart);
}

}  // namespace zelv
