#include "settings/autostart.h"

#include "app/app.h"
#include "platform/forms.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "text/path_split.h"

namespace zelv {
namespace {}  // namespace

Text AutostartCommand(App& app) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "x" + std::string&&.
  Text command = "\"";
  command += app.platform().system->RunDirectory();
  command += "\\Trimbelle.exe\"";
  return command;
}

std::int32_t AutostartValue(App& app, const Text& name, const Text& data, bool query) {
  IRegistry& registry = *app.platform().registry;
  const PathSplit path = SplitAtLastBackslash(kRunKeyPrefix + name);
  if (query) {
    const RegKey key = registry.OpenLocalMachine(path.head, RegAccess::Read);
    if (key == 0) return 0;
    const bool exists = registry.QueryValueExists(key, path.tail);
    registry.Close(key);
    return exists ? 1 : 0;
  }
  RegKey key = registry.OpenLocalMachine(path.head, RegAccess::Write);
  if (key == 0) key = registry.CreateLocalMachine(path.head);
  if (key == 0) return 0;
  // The stored length counts the terminating zero.
  (void)registry.SetStringValue(key, path.tail, data, static_cast<std::uint32_t>(data.size() + 1));
  registry.Close(key);
  return 0;
}

void OnMenuAutostart(App& app) {
  AutostartValue(app, kAutostartValueName, AutostartCommand(app));
  IForms& forms = *app.platform().forms;
  // Only a fresh test tells whether the value is there: a refused write can still find the
  // value of an earlier run.
  if (AutostartValue(app, kAutostartValueName, AutostartCommand(app), true) == 1) {
    forms.MessageBox(kAutostartSucceeded, kMessageCaption);
    forms.SetMenuCheck(MenuCommand::Autostart, true);
  } else {
    forms.MessageBox(kAutostartFailed, kMessageCaption);
    forms.SetMenuCheck(MenuCommand::Autostart, false);
  }
}
}  // namespace zelv
