// zelv_publish: writes the update page for a new version, or decodes one field.
//
//   zelv_publish page --version V --download URL (--notes TEXT | --notes-file FILE)
//                [--template FILE] [--out FILE]
//   zelv_publish decode FIELD
//
// Arguments and files are UTF-8; the page is written in code page 936, which the check reads.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "net/field_cipher.h"
#include "net/update_check.h"
#include "net/update_page.h"
#include "platform/codepage.h"

namespace {

using zelv::Text;
using zelv::WideText;

WideText Utf8ToUtf16(const std::string& in) {
  WideText out;
  for (std::size_t i = 0; i < in.size();) {
    const auto c = static_cast<unsigned char>(in[i]);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c >> 5) == 6 && i + 1 < in.size()) {
      cp = ((c & 0x1Fu) << 6) | (in[i + 1] & 0x3Fu);
      len = 2;
    } else if ((c >> 4) == 14 && i + 2 < in.size()) {
      cp = ((c & 0x0Fu) << 12) | ((in[i + 1] & 0x3Fu) << 6) | (in[i + 2] & 0x3Fu);
      len = 3;
    } else if ((c >> 3) == 30 && i + 3 < in.size()) {
      cp = ((c & 0x07u) << 18) | ((in[i + 1] & 0x3Fu) << 12) | ((in[i + 2] & 0x3Fu) << 6) |
           (in[i + 3] & 0x3Fu);
      len = 4;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(const WideText& in) {
  std::string out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    char32_t cp = in[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < in.size())
      cp = 0x10000 + ((cp - 0xD800) << 10) + (in[++i] - 0xDC00);
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

// A text that does not survive the trip to code page 936 would reach users as "?".
bool ToCp936(const std::string& utf8, Text& out) {
  const WideText wide = Utf8ToUtf16(utf8);
  out = zelv::Utf16ToCp936(wide);
  return zelv::Cp936ToUtf16(out) == wide;
}

bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// Line breaks of the notes become "\r\n", as the result box shows them.
std::string CrLf(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n') out += '\r';
    out += text[i];
  }
  while (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0) out.resize(out.size() - 2);
  return out;
}

// Letters and digits only: they are neither page markers nor anything the HTML stripping eats.
Text RandomSalts() {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  Text salts;
  for (int i = 0; i < 6; ++i) salts.push_back(kAlphabet[device() % (sizeof(kAlphabet) - 1)]);
  return salts;
}

int Usage() {
  std::cerr << "usage:\n"
               "  zelv_publish page --version V --download URL (--notes TEXT | --notes-file FILE)\n"
               "               [--template FILE] [--out FILE]\n"
               "  zelv_publish decode FIELD\n";
  return 2;
}

int Page(int argc, char** argv) {
  std::map<std::string, std::string> options;
  for (int i = 2; i < argc; i += 2) {
    const std::string name = argv[i];
    if (name.rfind("--", 0) != 0 || i + 1 >= argc) return Usage();
    options[name] = argv[i + 1];
  }
  if (!options.count("--version") || !options.count("--download")) return Usage();
  std::string notes = options.count("--notes") ? options["--notes"] : "";
  if (options.count("--notes-file") && !ReadFile(options["--notes-file"], notes)) {
    std::cerr << "cannot read " << options["--notes-file"] << "\n";
    return 1;
  }
  Text pageTemplate = zelv::DefaultPageTemplate();
  if (options.count("--template")) {
    std::string utf8;
    if (!ReadFile(options["--template"], utf8) || !ToCp936(utf8, pageTemplate)) {
      std::cerr << "cannot read the template as UTF-8 text for code page 936\n";
      return 1;
    }
  }
  Text version, address, notesCp936;
  if (!ToCp936(options["--version"], version) || !ToCp936(options["--download"], address) ||
      !ToCp936(CrLf(notes), notesCp936)) {
    std::cerr << "a text has characters that code page 936 cannot hold\n";
    return 1;
  }
  const zelv::PageResult result =
      zelv::MakeUpdatePage(pageTemplate, version, address, notesCp936, RandomSalts());
  if (!result.ok) {
    std::cerr << "refused: " << result.error << "\n";
    return 1;
  }
  if (!options.count("--out")) {
    std::cout << result.page;
    return 0;
  }
  std::ofstream out(options["--out"], std::ios::binary);
  out << result.page;
  if (!out.flush()) {
    std::cerr << "cannot write " << options["--out"] << "\n";
    return 1;
  }
  std::cerr << "wrote " << options["--out"] << "; it reads back as version " << options["--version"] << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "page") return Page(argc, argv);
  if (command == "decode" && argc == 3) {
    std::cout << Utf16ToUtf8(zelv::Cp936ToUtf16(zelv::DecodeField(argv[2], zelv::kFieldKey, 1))) << "\n";
    return 0;
  }
  return Usage();
}
