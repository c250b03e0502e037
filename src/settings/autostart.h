#pragma once
#include <cstdint>

#include "platform/types.h"

namespace zelv {
class App;

// The Run key that starts programs with Windows, followed by the value name.
inline constexpr char kRunKeyPrefix[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr char kAutostartValueName[] = "Trimbelle";
inline constexpr char kAutostartSucceeded[] = "开机启动设置成功";
inline constexpr char kAutostartFailed[] = "开机启动设置失败，请检查杀软或防火墙是否拦截";

// The command the Run value holds: quoted, so a directory with spaces can never be read as
// another program followed by arguments.
[[nodiscard]] Text AutostartCommand(App& app);

// Query form: 1 when the value exists under the Run key, else 0 (data unused).
// Write form: stores data as REG_SZ under the name and returns 0; the outcome is learnt only
// from a query afterwards.
std::int32_t AutostartValue(App& app, const Text& name, const Text& data, bool query = false);

// The 开机启动 menu command.
void OnMenuAutostart(App& app);
}  // namespace zelv
