#include "platform/regex_engine.h"
#include "platform/win32/backends.h"
#include "text/regex_builtin.h"

namespace zelv::win32 {

std::unique_ptr<IRegexEngine> MakeRegexEngine() { return MakeBuiltinRegexEngine(); }

}  // namespace zelv::win32
