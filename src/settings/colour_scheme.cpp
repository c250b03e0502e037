#include "settings/colour_scheme.h"

#include <optional>

#include "app/app.h"
#include "platform/forms.h"
#include "platform/system.h"

namespace zelv {

namespace {

constexpr char kColourPrompt[] = "请输入十六进制颜色值  格式示例：#FF3300";
constexpr char kWrongLength[] = "请输入正确的十六进制颜色值";
constexpr char kSaved[] = "设置成功，重启程序即可显示新颜色";
constexpr char kSaveFailed[] = "颜色保存失败，请检查程序目录是否可写";
constexpr char kRestored[] = "恢复成功，重启程序即可显示默认颜色";
constexpr char kRestoreFailed[] = "恢复失败，请检查程序目录是否可写";
constexpr std::size_t kHexColourLength = 7;

// The bytes before the first zero byte.
Text UpToZero(const Bytes& bytes) { return bytes.substr(0, bytes.find('\0')); }

void ApplyColourFile(App& app, const char* name, std::optional<Text>& store, Widget panel) {
  const Platform& p = app.platform();
  const Text path = p.system->RunDirectory() + name;
  if (!FileExists(*p.files, path)) return;
  // An unreadable file counts as empty, which gives black.
  const std::optional<Bytes> bytes = p.files->ReadFile(path, kColourFileReadLimit);
  store = bytes ? UpToZero(*bytes) : Text();
  p.forms->SetBackColour(panel, ParseHexColour(*store));
}

void AskAndStoreColour(App& app, const char* name) {
  const Platform& p = app.platform();
  const InputResult input = p.forms->InputBox(kColourPrompt, kInputCaption);
  if (!input.confirmed) return;
  if (input.text.size() != kHexColourLength) {
    p.forms->MessageBox(kWrongLength, kMessageCaption);
    return;
  }
  const Text path = p.system->RunDirectory() + name;
  (void)p.files->WriteFile(path, input.text);
  // A read-only program directory must not be reported as success: only what is on disk
  // afterwards counts.
  const std::optional<Bytes> stored = p.files->ReadFile(path, kColourFileReadLimit);
  p.forms->MessageBox(stored && *stored == input.text ? kSaved : kSaveFailed, kMessageCaption);
}

}  // namespace

std::uint64_t HexToInteger(const Text& text) noexcept {
  std::uint64_t value = 0;
  int digits = 0;
  for (auto it = text.rbegin(); it != text.rend() && digits < 16; ++it) {
    const unsigned char c = static_cast<unsigned char>(*it);
    std::uint64_t digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      continue;
    value |= digit << (4 * digits);
    ++digits;
  }
  return value;
}

ColourValue ParseHexColour(const Text& text) {
  Text bare;
  bare.reserve(text.size());
  for (char c : text)
    if (c != '#') bare += c;
  auto pair = [&bare](std::size_t start) -> ColourValue {
    if (start >= bare.size()) return 0;
    return static_cast<ColourValue>(HexToInteger(bare.substr(start, 2)) & 0xFF);
  };
  return pair(0) | (pair(2) << 8) | (pair(4) << 16);
}

bool FileExists(IFileSystem& files, const Text& path) {
  const std::optional<bool> isDirectory = files.FindFirstIsDirectoryW(path);
  return isDirectory.has_value() && !*isDirectory;
}

void ApplyColourFiles(App& app) {
  ApplyColourFile(app, kBarColourFileName, app.barColourText, Widget::Fill);
  ApplyColourFile(app, kTrackColourFileName, app.trackColourText, Widget::Track);
}

void OnMenuBarColour(App& app) { AskAndStoreColour(app, kBarColourFileName); }

void OnMenuTrackColour(App& app) { AskAndStoreColour(app, kTrackColourFileName); }

void OnMenuRestoreColours(App& app) {
  const Platform& p = app.platform();
  const Text dir = p.system->RunDirectory();
  (void)p.files->DeleteFile(dir + kBarColourFileName);
  (void)p.files->DeleteFile(dir + kTrackColourFileName);
  // Judged by what is left, not by the deletes: a missing file is no error.
  const bool left =
      FileExists(*p.files, dir + kBarColourFileName) || FileExists(*p.files, dir + kTrackColourFileName);
  p.forms->MessageBox(left ? kRestoreFailed : kRestored, kMessageCaption);
}

}  // namespace zelv
