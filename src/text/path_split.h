#pragma once
// Registry paths and file paths are CP936 byte strings, where the trail byte of a
// double-byte character may be 0x5C. A split that looked for the byte alone would cut such
// a character in half and address the wrong key.
#include "platform/types.h"

namespace zelv {

struct PathSplit {
  Text head;  // before the last backslash; the whole text when there is none
  Text tail;  // after it; empty when there is none
};

// Splits at the last backslash that is a character of its own, never a trail byte.
[[nodiscard]] PathSplit SplitAtLastBackslash(const Text& path);

}  // namespace zelv
