#pragma once
// The engine used where the automation object is missing: Linux, and a Windows without
// VBScript. Same dialect and defaults as the automation object.
#include <memory>

#include "platform/regex_engine.h"

namespace zelv {

[[nodiscard]] std::unique_ptr<IRegexEngine> MakeBuiltinRegexEngine();

}  // namespace zelv
