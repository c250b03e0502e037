#pragma once
// The conversions the Windows calls of several features need, in their exact shapes.
#include "platform/types.h"

namespace zelv {

// UTF-16 through code page 936, the terminating zero unit included; an empty text (or one
// starting with a zero byte) gives an empty result. A zero byte ends the text, as it would
// for a length of -1.
[[nodiscard]] WideText ToWideText(const Text& text);

// Code page 936 bytes of the units before the first zero unit; empty when there are none.
[[nodiscard]] Text ToAnsiText(const WideText& units);

}  // namespace zelv
