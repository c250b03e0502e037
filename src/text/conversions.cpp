#include "text/conversions.h"

#include "platform/codepage.h"

namespace zelv {

WideText ToWideText(const Text& text) {
  const Text head = text.substr(0, text.find('\0'));
  if (head.empty()) return {};
  WideText wide = Cp936ToUtf16(head);
  wide.push_back(u'\0');
  return wide;
}

Text ToAnsiText(const WideText& units) {
  const WideText head = units.substr(0, units.find(u'\0'));
  if (head.empty()) return {};
  Text bytes = Utf16ToCp936(head);
  return bytes.substr(0, bytes.find('\0'));
}

}  // namespace zelv
