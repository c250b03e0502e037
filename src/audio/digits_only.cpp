#include "audio/digits_only.h"

#include "text/regex_object.h"

namespace zelv {

Text DigitsOnly(const Text& text) {
  RegexObject regex;
  Text digits;
  if (regex.Compile("[0-9]", text)) {
    const int count = regex.MatchCount();
    for (int i = 1; i <= count; ++i) digits += regex.MatchText(i);
  }
  regex.Destroy();
  return digits;
}

}  // namespace zelv
