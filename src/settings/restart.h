#pragma once
namespace zelv {
class App;
// The 重启程序 menu command.
void RestartProgram(App& app);
}  // namespace zelv
