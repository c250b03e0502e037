#include "settings/restart.h"

#include <cstddef>

#include "app/app.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/system.h"

namespace zelv {
namespace {

constexpr char kTemplate[] =
    "@echo off \r\n"
    "@ping 127.0.0.1 -n 秒数 >nul\r\n"
    "start \"\" \"<文件名>\"\r\n"
    "del \"<脚本>\"";
constexpr char kDelaySlot[] = "秒数";
constexpr char kProgramSlot[] = "<文件名>";
constexpr char kScriptSlot[] = "<脚本>";
// Two echo requests to the loopback address: about one second, enough for this process to
// be gone before the new one claims the single-instance event.
constexpr char kDelay[] = "2";

void ReplaceFirst(Text& text, const Text& slot, const Text& value) {
  const std::size_t at = text.find(slot);
  if (at != Text::npos) text.replace(at, slot.size(), value);
}

}  // namespace

Text RestartScript(const Text& executablePath, const Text& scriptPath) {
  Text script = kTemplate;
  ReplaceFirst(script, kProgramSlot, executablePath);
  ReplaceFirst(script, kDelaySlot, kDelay);
  ReplaceFirst(script, kScriptSlot, scriptPath);
  return script;
}

Text ToShortPath(IFileSystem& files, const Text& path) {
  Text shortPath = files.ShortPathName(path);
  return shortPath.empty() ? path : shortPath;
}

void TerminateOwnProcess(App& app) { app.platform().system->TerminateOwnProcess(); }

void RestartProgram(App& app) {
  ISystem& system = *app.platform().system;
  IFileSystem& files = *app.platform().files;
  const Text runDirectory = system.RunDirectory();
  const Text executable = runDirectory + "\\" + system.ExecutableName();
  if (!files.FindFirstA(executable)) return;

  const Text scriptPath = runDirectory + kRestartScriptName;
  // Short forms keep spaces and non-ASCII names away from the command interpreter's parsing.
  const Text script =
      RestartScript(ToShortPath(files, executable), ToShortPath(files, runDirectory) + kRestartScriptName);
  bool started = false;
  if (files.WriteFile(scriptPath, script)) {
    started = system.StartHidden("\"" + scriptPath + "\"");
    if (!started) (void)files.DeleteFile(scriptPath);
  }
  if (!started) {
    // Ending now would leave the user with no program and no new instance.
    app.platform().forms->MessageBox(kRestartFailed, kMessageCaption);
    return;
  }
  TerminateOwnProcess(app);
}
}  // namespace zelv
