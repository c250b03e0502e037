#pragma once
// Value types shared by the core and every platform interface.
#include <cstdint>
#include <string>

namespace zelv {

// A text of the program: a byte string in code page 936. Positions are 1-based byte
// positions wherever an operation takes or gives one.
using Text = std::string;
// Raw bytes (file contents, HTTP bodies). Kept as a string of bytes so texts and bytes
// convert without copies of other types.
using Bytes = std::string;
// UTF-16 code units.
using WideText = std::u16string;

// An opaque window handle; 0 is "no window".
using WindowHandle = std::uintptr_t;
// A COM-style status: 0 is success, negative is failure.
using HResult = std::int32_t;
// 0x00BBGGRR; 0xFF000000 additionally means the system's button-face colour.
using ColourValue = std::uint32_t;
inline constexpr ColourValue kButtonFaceColour = 0xFF000000u;

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

}  // namespace zelv
