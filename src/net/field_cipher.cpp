#include "net/field_cipher.h"

#include <array>
#include <utility>

namespace zelv {
namespace {

// The key schedule and keystream of the page format. The indices are kept one-based, as
// the format defines them, so every update adds one more than the textbook RC4 would and
// the first index visits only every other position; fields decode only with exactly this.
class FieldKeystream {
 public:
  explicit FieldKeystream(const Text& key) {
    for (int i = 0; i < 256; ++i) s_[i] = static_cast<std::uint8_t>(i);
    if (key.empty()) return;
    unsigned u = 0;
    for (unsigned i = 0; i < 256; ++i) {
      const auto k = static_cast<std::uint8_t>(key[i % key.size()]);
      u = ((u + s_[i] + k) % 256) + 1;
      std::swap(s_[i], s_[u - 1]);
    }
  }

  std::uint8_t Next() {
    a_ = ((a_ + 1) % 256) + 1;
    b_ = ((b_ + s_[a_ - 1]) % 256) + 1;
    std::swap(s_[a_ - 1], s_[b_ - 1]);
    return s_[(s_[a_ - 1] + s_[b_ - 1]) % 256];
  }

 private:
  std::array<std::uint8_t, 256> s_{};
  unsigned a_ = 0;
  unsigned b_ = 0;
};

Text DecodeOnePass(const Text& text, const Text& keyText) {
  if (text.empty()) return {};
  const Text salt = text.substr(0, 2);
  const Text body = text.size() > 2 ? text.substr(2) : Text();
  FieldKeystream stream(keyText + salt);
  Text out;
  for (std::size_t i = 0; i < body.size(); i += 2) {
    const auto data = static_cast<std::uint8_t>(LettersToNumber(body.substr(i, 2)) & 0xFF);
    const auto plain = static_cast<char>(data ^ stream.Next());
    // The reader keeps texts zero-terminated, so a deciphered zero ends the field.
    if (plain == '\0') break;
    out.push_back(plain);
  }
  return out;
}

bool IsPageMarker(char c) { return c == '~' || c == '-' || c == '$'; }

}  // namespace

std::int64_t LettersToNumber(const Text& letters) noexcept {
  // Unsigned arithmetic: a long text wraps instead of overflowing.
  std::uint64_t total = 0;
  for (const char c : letters) {
    std::int64_t digit = -2;
    if (c >= 'A' && c <= 'Z') digit = c - 'A';
    if (c >= 'a' && c <= 'z') digit = c - 'a';
    total = total * 16u + static_cast<std::uint64_t>(digit);
  }
  return static_cast<std::int64_t>(total);
}

Text DecodeField(const Text& field, const Text& key, int passes) {
  if (field.empty()) return {};
  Text text = field;
  for (int pass = 0; pass < passes; ++pass) text = DecodeOnePass(text, key);
  return text;
}

std::optional<Text> EncodeField(const Text& plain, const Text& salt, const Text& key) {
  if (salt.size() != 2 || IsPageMarker(salt[0]) || IsPageMarker(salt[1])) return std::nullopt;
  if (plain.find('\0') != Text::npos) return std::nullopt;
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOP";
  FieldKeystream stream(key + salt);
  Text out = salt;
  for (const char c : plain) {
    const auto cipher = static_cast<std::uint8_t>(static_cast<std::uint8_t>(c) ^ stream.Next());
    out.push_back(kDigits[cipher >> 4]);
    out.push_back(kDigits[cipher & 0x0F]);
  }
  return out;
}

}  // namespace zelv
