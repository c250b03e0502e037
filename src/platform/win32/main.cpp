// Program entry: the real platform layer is built here and handed to the core.
// forms_win32.h comes first: it must see the forms interface before any MessageBox macro does.
#include "platform/win32/forms_win32.h"
// (keep the line above first)
#include <commctrl.h>

#include "app/app.h"
#include "platform/internet.h"
#include "platform/platform.h"
#include "platform/regex_engine.h"
#include "platform/secondary_windows.h"
#include "platform/win32/backends.h"

namespace {

int Run(HINSTANCE instance) {
  using namespace zelv;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);

  // Declared before the forms and the app so they outlive both: the app's threads and the
  // window may use them until the very end.
  const auto audio = win32::MakeAudioBackend();
  const auto files = win32::MakeFileSystem();
  const auto system = win32::MakeSystem();
  const auto registry = win32::MakeRegistry();
  const auto shell = win32::MakeShellWindows();
  // Never destroyed: an update check abandoned by its window is not waited for, and may still
  // be reading the network or stripping a page when the program ends. The end of the process
  // takes them; nothing else may.
  zelv::IInternet* const internet = win32::MakeInternet().release();
  IRegexEngine* const regex = win32::MakeRegexEngine().release();
  // Every RegexObject of the program uses this engine.
  SetDefaultRegexEngine(regex);

  win32::Forms forms(instance);
  const auto secondary = win32::MakeSecondaryWindows(forms);
  Platform platform;
  platform.forms = &forms;
  platform.audio = audio.get();
  platform.files = files.get();
  platform.system = system.get();
  platform.registry = registry.get();
  platform.shell = shell.get();
  platform.regex = regex;
  platform.internet = internet;
  platform.secondary = secondary.get();

  App app(platform);
  // Loading raises the creation event; a later instance ends inside it, and the loop then
  // returns at once.
  int exitCode = 0;
  if (forms.CreateMainWindow(app)) exitCode = forms.RunMessageLoop();
  app.ExitCleanup();
  return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    return Run(instance);
  } catch (...) {
    // Every end of the program is exit code 0.
    return 0;
  }
}
