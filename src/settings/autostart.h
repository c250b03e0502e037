#pragma once
namespace zelv {
class App;
// The 开机启动 menu command.
void OnMenuAutostart(App& app);
}  // namespace zelv
