#include "platform/codepage.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#endif

namespace zelv {

#ifdef _WIN32
namespace {

WideText ToUtf16(UINT codePage, const Text& text) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return WideText(out.begin(), out.end());
}

Text FromUtf16(UINT codePage, const WideText& text) {
  if (text.empty()) return {};
  const std::wstring wide(text.begin(), text.end());
  const int n = ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
  if (n <= 0) return {};
  Text out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

}  // namespace

WideText Cp936ToUtf16(const Text& text) { return ToUtf16(936, text); }
Text Utf16ToCp936(const WideText& text) { return FromUtf16(936, text); }
WideText AnsiToUtf16(const Text& text) { return ToUtf16(CP_ACP, text); }
Text Utf16ToAnsi(const WideText& text) { return FromUtf16(CP_ACP, text); }

#else
namespace {

// One converter per thread and direction: iconv descriptors keep shift state and must not be
// shared between threads, and opening one per call would dominate short conversions.
class Converter {
 public:
  Converter(const char* to, const char* from) noexcept : cd_(::iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`; `onInvalid` appends a substitute to the output, and the offending
  // input unit of `step` bytes is skipped.
  template <typename OnInvalid>
  std::string Run(const std::string& in, std::size_t step, OnInvalid onInvalid) {
    std::string out;
    if (!ok() || in.empty()) return out;
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string buffer(in.size() * 2 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
      char* dst = buffer.data();
      std::size_t dstLeft = buffer.size();
      const std::size_t r = ::iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer.data(), buffer.size() - dstLeft);
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) continue;
      // EILSEQ, or EINVAL for a sequence cut off at the end.
      onInvalid(out);
      const std::size_t skip = srcLeft < step ? srcLeft : step;
      src += skip;
      srcLeft -= skip;
    }
    return out;
  }

 private:
  bool ok() const noexcept { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

WideText BytesToUnits(const std::string& bytes) {
  WideText out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return out;
}

std::string UnitsToBytes(const WideText& units) {
  std::string out(units.size() * 2, '\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    out[2 * i] = static_cast<char>(units[i] & 0xFF);
    out[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return out;
}

}  // namespace

WideText Cp936ToUtf16(const Text& text) {
  thread_local Converter converter("UTF-16LE", "CP936");
  return BytesToUnits(converter.Run(text, 1, [](std::string& out) { out.append("\xFD\xFF", 2); }));
}

Text Utf16ToCp936(const WideText& text) {
  thread_local Converter converter("CP936", "UTF-16LE");
  return converter.Run(UnitsToBytes(text), 2, [](std::string& out) { out.push_back('?'); });
}

WideText AnsiToUtf16(const Text& text) { return Cp936ToUtf16(text); }
Text Utf16ToAnsi(const WideText& text) { return Utf16ToCp936(text); }

#endif

}  // namespace zelv
