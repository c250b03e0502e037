#pragma once
#include "platform/types.h"

namespace zelv {
class App;
class IFileSystem;

inline constexpr char kRestartScriptName[] = "\\Restart.bat";
inline constexpr char kRestartFailed[] = "重启失败，请手动重新启动程序";

// The script that starts the program again once this process is gone. It deletes itself by
// its full path: a bare name would be looked up in whatever directory the command
// interpreter runs in and could delete a user's file of that name.
[[nodiscard]] Text RestartScript(const Text& executablePath, const Text& scriptPath);

// The short (8.3) form of a path; the path itself when the system has no short form for it,
// so the script never names an empty program.
[[nodiscard]] Text ToShortPath(IFileSystem& files, const Text& path);

// Ends this process at once with exit code 0, without the end routine.
void TerminateOwnProcess(App& app);

// The 重启程序 menu command. Ends the process when the script has started; otherwise the
// program keeps running and says so.
void RestartProgram(App& app);
}  // namespace zelv
