#pragma once
#include "platform/types.h"

namespace zelv {
class App;

// The name every instance of the program claims. It carries no namespace prefix, so one
// instance runs per logon session, not per machine.
inline constexpr char InstanceEventName[] = "是否弹出信息框提示[逻辑型]rewrw";

// True when this process is the first instance and may go on. False when another instance
// holds the name: the program has then been ended with exit code 0 and nothing else may run.
[[nodiscard]] bool GuardSingleInstance(App& app, const Text& identifier);

}  // namespace zelv
