#pragma once
// The "VBScript.RegExp" automation object as a regex engine, driven by late binding.
#include <memory>

#include "platform/regex_engine.h"

namespace zelv::win32 {

// Always gives the automation engine, even when the object cannot be created on this system
// (its Create then gives null). MakeRegexEngine chooses between it and the built-in engine.
[[nodiscard]] std::unique_ptr<IRegexEngine> MakeVbscriptRegexEngine();

// Whether "VBScript.RegExp" can be created here.
[[nodiscard]] bool VbscriptRegexAvailable() noexcept;

}  // namespace zelv::win32
