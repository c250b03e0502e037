#pragma once
// Searching, cutting, splitting, trimming and slicing of texts. A text is a byte string in
// code page 936: a byte of 0x80 or above and the byte after it are one character, which a
// search or a split never starts inside. Positions are 1-based byte positions, lengths are
// byte counts, -1 means "not found". Case folding touches the ASCII letters only.
#include <optional>
#include <vector>

#include "platform/types.h"

namespace zelv {

// First occurrence of `sought` at or after `start` (absent or below 1: from the beginning).
// An empty `sought` gives 1 when the searched range holds at least one byte.
[[nodiscard]] int FindText(const Text& text, const Text& sought, std::optional<int> start = std::nullopt,
                           bool ignoreCase = false) noexcept;

// Last occurrence lying wholly inside the first start - 1 bytes (absent start: the whole text).
[[nodiscard]] int FindTextBackward(const Text& text, const Text& sought,
                                   std::optional<int> start = std::nullopt, bool ignoreCase = false) noexcept;

// The bytes after the first `left` (searched from `start`) up to the next `right`. In both
// markers "#引号" stands for a double quote. Empty when either marker is missing.
[[nodiscard]] Text TextBetween(const Text& text, const Text& left, const Text& right, int start = 1,
                               bool ignoreCase = false);

// The bytes before the first occurrence of `marker` searched from `offset`; with a negative
// offset before the last occurrence that ends at least |offset| bytes before the end.
[[nodiscard]] Text TextBefore(const Text& text, const Text& marker, int offset = 0, bool ignoreCase = false);

// The bytes after the last occurrence of `marker` that leaves at least `offset` bytes after it;
// with a negative offset after the first occurrence searched from |offset|.
[[nodiscard]] Text TextAfter(const Text& text, const Text& marker, int offset = 0, bool ignoreCase = false);

// Pieces between separators. Empty pieces count, except one after the last separator; an empty
// text gives no pieces; an empty separator gives the whole text as its one piece.
[[nodiscard]] std::vector<Text> SplitText(const Text& text, const Text& separator);

// Every occurrence of `sought` replaced, searching by characters; an empty `sought` changes nothing.
[[nodiscard]] Text ReplaceText(const Text& text, const Text& sought, const Text& replacement,
                               bool ignoreCase = false);
// Only the first occurrence replaced.
[[nodiscard]] Text ReplaceFirstText(const Text& text, const Text& sought, const Text& replacement,
                                    bool ignoreCase = false);

// Spaces and full-width spaces (0xA1 0xA1) removed from both ends.
[[nodiscard]] Text TrimText(const Text& text);

// Byte slices; they may cut a double-byte character, as the callers' byte counts ask.
[[nodiscard]] Text LeftBytes(const Text& text, int count);
[[nodiscard]] Text RightBytes(const Text& text, int count);
// `count` bytes from 1-based `position`; nothing when the position lies outside the text.
[[nodiscard]] Text MidBytes(const Text& text, int position, int count);

// ASCII letters only; the bytes of double-byte characters stay as they are.
[[nodiscard]] Text ToLowerAscii(const Text& text);
[[nodiscard]] Text ToUpperAscii(const Text& text);

}  // namespace zelv
