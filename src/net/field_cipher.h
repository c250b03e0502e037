#pragma once
// The cipher of the update page's fields: two salt bytes, then the enciphered bytes written
// as letters, two per byte, "A" to "P" being the digits 0 to 15.
#include <cstdint>
#include <optional>

#include "platform/types.h"

namespace zelv {

// A text read as a base-16 number whose digits are letters ("A" is 0, any case); a byte
// that is not an ASCII letter counts as -2 in its place. Wraps like two's complement.
[[nodiscard]] std::int64_t LettersToNumber(const Text& letters) noexcept;

// The plain text of a field; passes applies the decipher to its own result again.
[[nodiscard]] Text DecodeField(const Text& field, const Text& key, int passes = 1);

// The publisher's side of one pass: salt (two bytes, none of the page markers "~", "-", "$")
// followed by the plain text enciphered. Nothing for an unusable salt, or for a plain text
// holding a zero byte, which the reader would take as its end.
[[nodiscard]] std::optional<Text> EncodeField(const Text& plain, const Text& salt, const Text& key);

}  // namespace zelv
