#pragma once
#include "platform/types.h"
namespace zelv {
// The characters 0 to 9 of a text, in order (through the regular-expression object).
[[nodiscard]] Text DigitsOnly(const Text& text);
}  // namespace zelv
