#pragma once
// Code-page conversions at the edges of the system. Bytes that do not decode become U+FFFD
// and characters without a code-page form become "?", as the Windows converters do with
// their default flags, so a conversion never fails.
#include "platform/types.h"

namespace zelv {

// Code page 936 (simplified Chinese), whatever the system's own code page is.
[[nodiscard]] WideText Cp936ToUtf16(const Text& text);
[[nodiscard]] Text Utf16ToCp936(const WideText& text);

// The system's ANSI code page (CP_ACP on Windows; code page 936 elsewhere).
[[nodiscard]] WideText AnsiToUtf16(const Text& text);
[[nodiscard]] Text Utf16ToAnsi(const WideText& text);

}  // namespace zelv
