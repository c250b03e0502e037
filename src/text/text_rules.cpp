#include "text/text_rules.h"

#include <climits>
#include <cstddef>

namespace zelv {
namespace {

using Size = std::size_t;

constexpr bool IsLeadByte(char c) noexcept { return static_cast<unsigned char>(c) >= 0x80; }

// Width of the character starting at `i`; a lead byte at the very end stands alone.
Size CharWidth(const Text& text, Size i) noexcept {
  return IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

constexpr char FoldAscii(char c) noexcept {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares `sought` with the bytes of `text` at `at`. Only single-byte characters of `sought`
// are folded: a trail byte may have the value of an ASCII letter and must match exactly.
bool MatchesAt(const Text& text, Size at, const Text& sought, bool ignoreCase) noexcept {
  if (at + sought.size() > text.size()) return false;
  for (Size k = 0; k < sought.size();) {
    if (IsLeadByte(sought[k])) {
      if (text[at + k] != sought[k]) return false;
      if (k + 1 < sought.size() && text[at + k + 1] != sought[k + 1]) return false;
      k += 2;
      continue;
    }
    const char a = text[at + k];
    const char b = sought[k];
    if (ignoreCase ? FoldAscii(a) != FoldAscii(b) : a != b) return false;
    ++k;
  }
  return true;
}

// 0-based index of the first occurrence at or after `from` that ends at or before `limit`,
// stepping by characters from `from`; npos when there is none.
Size FindForward(const Text& text, const Text& sought, Size from, Size limit, bool ignoreCase) noexcept {
  for (Size i = from; i + sought.size() <= limit; i += CharWidth(text, i))
    if (MatchesAt(text, i, sought, ignoreCase)) return i;
  return Text::npos;
}

// |offset| of a negative offset, where an offset of -1 counts as no distance at all.
long long NegativeOffsetDistance(int offset) noexcept {
  const long long m = -static_cast<long long>(offset);
  return m == 1 ? 0 : m;
}

int ClampToInt(long long v) noexcept {
  if (v > INT_MAX) return INT_MAX;
  return v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

int ToPosition(Size index) noexcept { return index == Text::npos ? -1 : static_cast<int>(index) + 1; }

Text ReplaceOccurrences(const Text& text, const Text& sought, const Text& replacement, bool ignoreCase,
                        bool all) {
  if (sought.empty()) return text;
  Text out;
  out.reserve(text.size());
  Size i = 0;
  while (i < text.size()) {
    if (MatchesAt(text, i, sought, ignoreCase)) {
      out += replacement;
      i += sought.size();
      if (!all) {
        out.append(text, i);
        return out;
      }
      continue;
    }
    const Size w = CharWidth(text, i);
    out.append(text, i, w);
    i += w;
  }
  return out;
}

bool IsBlankAt(const Text& text, Size i, Size width) noexcept {
  if (width == 1) return text[i] == ' ';
  return static_cast<unsigned char>(text[i]) == 0xA1 && static_cast<unsigned char>(text[i + 1]) == 0xA1;
}

template <typename Map>
Text MapAsciiLetters(const Text& text, Map map) {
  Text out = text;
  for (Size i = 0; i < out.size(); i += CharWidth(out, i))
    if (!IsLeadByte(out[i])) out[i] = map(out[i]);
  return out;
}

}  // namespace

int FindText(const Text& text, const Text& sought, std::optional<int> start, bool ignoreCase) noexcept {
  const Size from = start && *start > 1 ? static_cast<Size>(*start) - 1 : 0;
  if (from >= text.size()) return -1;
  if (sought.empty()) return 1;
  return ToPosition(FindForward(text, sought, from, text.size(), ignoreCase));
}

int FindTextBackward(const Text& text, const Text& sought, std::optional<int> start,
                     bool ignoreCase) noexcept {
  Size limit = text.size();
  if (start) {
    if (*start <= 1) return -1;
    if (static_cast<Size>(*start) - 1 < limit) limit = static_cast<Size>(*start) - 1;
  }
  if (limit == 0) return -1;
  if (sought.empty()) return 1;
  // Character boundaries are only known from the beginning, so walk forwards and keep the last.
  Size last = Text::npos;
  for (Size i = FindForward(text, sought, 0, limit, ignoreCase); i != Text::npos;
       i = FindForward(text, sought, i + CharWidth(text, i), limit, ignoreCase))
    last = i;
  return ToPosition(last);
}

Text TextBetween(const Text& text, const Text& left, const Text& right, int start, bool ignoreCase) {
  const Text quote = "#引号";
  const Text l = ReplaceText(left, quote, "\"");
  const Text r = ReplaceText(right, quote, "\"");
  int p = FindText(text, l, start, ignoreCase);
  if (p == -1) return {};
  p += static_cast<int>(l.size());
  const int q = FindText(text, r, p, ignoreCase);
  if (q == -1 || q <= p) return {};
  return text.substr(static_cast<Size>(p) - 1, static_cast<Size>(q - p));
}

Text TextBefore(const Text& text, const Text& marker, int offset, bool ignoreCase) {
  const long long n = static_cast<long long>(text.size());
  int p;
  if (offset >= 0) {
    p = FindText(text, marker, offset == 0 ? 1 : offset, ignoreCase);
  } else {
    p = FindTextBackward(text, marker, ClampToInt(n - NegativeOffsetDistance(offset) + 1), ignoreCase);
  }
  if (p == -1) return {};
  return text.substr(0, static_cast<Size>(p) - 1);
}

Text TextAfter(const Text& text, const Text& marker, int offset, bool ignoreCase) {
  const long long n = static_cast<long long>(text.size());
  int p;
  if (offset >= 0) {
    p = FindTextBackward(text, marker, ClampToInt(n - offset + 1), ignoreCase);
  } else {
    const long long m = NegativeOffsetDistance(offset);
    p = FindText(text, marker, m == 0 ? 1 : ClampToInt(m), ignoreCase);
  }
  if (p == -1) return {};
  const Size from = static_cast<Size>(p) - 1 + marker.size();
  return from >= text.size() ? Text{} : text.substr(from);
}

std::vector<Text> SplitText(const Text& text, const Text& separator) {
  std::vector<Text> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  Size from = 0;
  for (;;) {
    const Size at = FindForward(text, separator, from, text.size(), false);
    if (at == Text::npos) {
      if (from < text.size()) pieces.push_back(text.substr(from));
      return pieces;
    }
    pieces.push_back(text.substr(from, at - from));
    from = at + separator.size();
  }
}

Text ReplaceText(const Text& text, const Text& sought, const Text& replacement, bool ignoreCase) {
  return ReplaceOccurrences(text, sought, replacement, ignoreCase, true);
}

Text ReplaceFirstText(const Text& text, const Text& sought, const Text& replacement, bool ignoreCase) {
  return ReplaceOccurrences(text, sought, replacement, ignoreCase, false);
}

Text TrimText(const Text& text) {
  // The end can only be found walking from the beginning: 0xA1 0xA1 at the end may be the
  // trail of one character and the lead of a broken one.
  Size first = Text::npos;
  Size end = 0;
  for (Size i = 0; i < text.size();) {
    const Size w = CharWidth(text, i);
    if (!IsBlankAt(text, i, w)) {
      if (first == Text::npos) first = i;
      end = i + w;
    }
    i += w;
  }
  if (first == Text::npos) return {};
  return text.substr(first, end - first);
}

Text LeftBytes(const Text& text, int count) {
  if (count <= 0) return {};
  return text.substr(0, static_cast<Size>(count));
}

Text RightBytes(const Text& text, int count) {
  if (count <= 0) return {};
  const Size k = static_cast<Size>(count);
  return k >= text.size() ? text : text.substr(text.size() - k);
}

Text MidBytes(const Text& text, int position, int count) {
  if (position < 1 || static_cast<Size>(position) > text.size() || count <= 0) return {};
  return text.substr(static_cast<Size>(position) - 1, static_cast<Size>(count));
}

Text ToLowerAscii(const Text& text) { return MapAsciiLetters(text, FoldAscii); }

Text ToUpperAscii(const Text& text) {
  return MapAsciiLetters(text,
                         [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
}

}  // namespace zelv
