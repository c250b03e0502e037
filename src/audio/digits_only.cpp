#include "audio/digits_only.h"

namespace zelv {
Text DigitsOnly(const Text& text) {
  Text out;
  for (char c : text)
    if (c >= '0' && c <= '9') out += c;
  return out;
}
}  // namespace zelv
