#pragma once
// The Win32 layer's bridge from the program's CP936 texts to the wchar_t strings the W
// functions take; the conversion itself is the one in platform/codepage.h.
#include <windows.h>

#include <string>

#include "platform/codepage.h"
#include "platform/types.h"

namespace zelv::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

inline std::wstring ToWide(const Text& text) {
  const WideText wide = Cp936ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

inline Text FromWide(const wchar_t* wide, int length) {
  if (wide == nullptr || length <= 0) return {};
  return Utf16ToCp936(WideText(wide, wide + length));
}

inline Text FromWide(const std::wstring& wide) {
  return FromWide(wide.data(), static_cast<int>(wide.size()));
}

// The window text of any window, as CP936.
inline Text WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, wide.data(), length + 1);
  return FromWide(wide.data(), copied);
}

}  // namespace zelv::win32
