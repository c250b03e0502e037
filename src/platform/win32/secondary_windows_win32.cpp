// The about and sponsor windows: plain Win32 child windows laid out as their forms give
// them, pictures drawn with GDI+ from the program's resources.
#include <objidl.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/forms.h"
#include "platform/secondary_windows.h"
#include "platform/win32/backends.h"
#include "platform/win32/wide_text.h"

#ifndef ZELV_HOME_PAGE_URL
#define ZELV_HOME_PAGE_URL ""
#endif

namespace zelv::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelvSecondaryWindow";
constexpr wchar_t kBoxClass[] = L"ZelvShapeBox";
constexpr UINT_PTR kAnimationTimer = 1;
constexpr int kIdCheckButton = 101;
constexpr int kIdHomeLink = 102;
constexpr char kSupportText[] = "\r\n创作不易，有能力的朋友可自愿性支持下";
constexpr char kCredit[] = "Zelv Monitor";

// Pictures: one image per picture box, the GIF advanced by a timer.
struct Picture {
  HWND window = nullptr;
  std::unique_ptr<Gdiplus::Image> image;
  UINT frames = 1;
  UINT frame = 0;
};

struct WindowState {
  HWND window = nullptr;
  // The running modal loop's own flag: a window of the same kind opened later, from a loop
  // nested in this one, gets a fresh state, and must not end this loop or be ended by it.
  bool* closed = nullptr;
  IAboutWindowEvents* events = nullptr;
  std::array<HWND, 5> controls{};
  std::array<ColourValue, 5> colours{};
  HWND homeLink = nullptr;
  HWND checkButton = nullptr;
  std::vector<Picture> pictures;
};

std::unique_ptr<Gdiplus::Image> LoadPicture(const wchar_t* name) {
  HRSRC resource = ::FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (resource == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(nullptr, resource);
  const DWORD size = ::SizeofResource(nullptr, resource);
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (data == nullptr || size == 0) return nullptr;
  IStream* stream = ::SHCreateMemStream(static_cast<const BYTE*>(data), size);
  if (stream == nullptr) return nullptr;
  auto image = std::make_unique<Gdiplus::Image>(stream);
  stream->Release();
  if (image->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return image;
}

struct ParentlessWindows {
  HWND self;
  std::vector<HWND>* out;
};

BOOL CALLBACK CollectParentless(HWND w, LPARAM p) {
  auto* c = reinterpret_cast<ParentlessWindows*>(p);
  if (w != c->self && ::GetParent(w) == nullptr && ::IsWindowVisible(w) && ::IsWindowEnabled(w))
    c->out->push_back(w);
  return TRUE;
}

class SecondaryWindows final : public ISecondaryWindows {
 public:
  SecondaryWindows() {
    Gdiplus::GdiplusStartupInput input;
    gdiplusOk_ = Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) == Gdiplus::Ok;
    auto yaHei = [](BOOL underline) {
      return ::CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET, 0, 0,
                           CLEARTYPE_QUALITY, 0, ToWide("微软雅黑").c_str());
    };
    yaHei_ = yaHei(FALSE);
    // The hyperlink is underlined, so it reads as one.
    yaHeiLink_ = yaHei(TRUE);
  }
  ~SecondaryWindows() override {
    // The pictures are GDI+ objects: they go before GDI+ does.
    about_ = WindowState{};
    sponsor_ = WindowState{};
    if (yaHei_ != nullptr) ::DeleteObject(yaHei_);
    if (yaHeiLink_ != nullptr) ::DeleteObject(yaHeiLink_);
    if (gdiplusOk_) Gdiplus::GdiplusShutdown(gdiplusToken_);
  }

  bool IsOpen(SecondaryWindow w) override { return state(w).window != nullptr; }
  bool IsMinimised(SecondaryWindow w) override { return IsOpen(w) && ::IsIconic(state(w).window); }
  void Restore(SecondaryWindow w) override {
    if (IsOpen(w)) ::ShowWindow(state(w).window, SW_RESTORE);
  }
  void Activate(SecondaryWindow w) override {
    if (!IsOpen(w)) return;
    HWND target = state(w).window;
    // Disabled by the other window's modal loop, it would only beep: that one, the window
    // taking input, comes forward instead.
    const WindowState& other =
        state(w == SecondaryWindow::About ? SecondaryWindow::Sponsor : SecondaryWindow::About);
    if (!::IsWindowEnabled(target) && other.window != nullptr) target = other.window;
    ::SetForegroundWindow(target);
    ::SetActiveWindow(target);
  }

  void RunModal(SecondaryWindow which, IAboutWindowEvents* events) override;

  void SetVisible(AboutControl c, bool visible) override {
    if (HWND w = control(c)) ::ShowWindow(w, visible ? SW_SHOW : SW_HIDE);
  }
  void SetText(AboutControl c, const Text& text) override {
    if (HWND w = control(c)) ::SetWindowTextW(w, ToWide(text).c_str());
  }
  void SetTextColour(AboutControl c, ColourValue colour) override {
    if (HWND w = control(c)) {
      about_.colours[static_cast<std::size_t>(c)] = colour;
      ::InvalidateRect(w, nullptr, TRUE);
    }
  }
  Text Caption(AboutControl c) override {
    HWND w = control(c);
    return w != nullptr ? WindowText(w) : Text();
  }
  void MessageBox(const Text& text, const Text& caption) override {
    ::MessageBoxW(about_.window, ToWide(text).c_str(), ToWide(caption).c_str(), MB_OK | MB_TASKMODAL);
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(WindowState& s, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool RegisterClasses();
  // font: none for the default GUI font.
  HWND Child(HWND parent, const wchar_t* cls, const Text& text, DWORD style, DWORD ex, int x, int y, int w,
             int h, int id, HFONT font);
  void AddPicture(WindowState& s, HWND parent, const wchar_t* resource, int x, int y, int w, int h);
  void BuildSponsor(WindowState& s);
  void BuildAbout(WindowState& s);
  WindowState& state(SecondaryWindow w) { return w == SecondaryWindow::About ? about_ : sponsor_; }
  HWND control(AboutControl c) {
    return about_.window != nullptr ? about_.controls[static_cast<std::size_t>(c)] : nullptr;
  }

  ULONG_PTR gdiplusToken_ = 0;
  bool gdiplusOk_ = false;
  HFONT yaHei_ = nullptr;
  HFONT yaHeiLink_ = nullptr;
  WindowState about_;
  WindowState sponsor_;
};

bool SecondaryWindows::RegisterClasses() {
  for (const wchar_t* name : {kWindowClass, kBoxClass}) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));  // the program's icon, when it has one
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    if (::RegisterClassExW(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  }
  return true;
}

HWND SecondaryWindows::Child(HWND parent, const wchar_t* cls, const Text& text, DWORD style, DWORD ex, int x,
                             int y, int w, int h, int id, HFONT font) {
  HWND child = ::CreateWindowExW(ex, cls, ToWide(text).c_str(), WS_CHILD | style, x, y, w, h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
  if (child != nullptr && cls == kBoxClass)
    ::SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  const HGDIOBJ shown = font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT);
  ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);
  return child;
}

void SecondaryWindows::AddPicture(WindowState& s, HWND parent, const wchar_t* resource, int x, int y, int w,
                                  int h) {
  Picture picture;
  picture.window = Child(parent, L"STATIC", "", WS_VISIBLE | SS_OWNERDRAW, 0, x, y, w, h, -1, nullptr);
  picture.image = gdiplusOk_ ? LoadPicture(resource) : nullptr;
  if (picture.image) {
    GUID dimension = Gdiplus::FrameDimensionTime;
    picture.frames = std::max<UINT>(1, picture.image->GetFrameCount(&dimension));
  }
  s.pictures.push_back(std::move(picture));
}

void SecondaryWindows::BuildSponsor(WindowState& s) {
  const HWND w = s.window;
  Child(w, L"STATIC", kSupportText, WS_VISIBLE | SS_NOPREFIX, 0, 98, 16, 448, 56, -1, nullptr);  // 标签4
  AddPicture(s, w, L"SPONSOR_JPG", 83, 81, 472, 322);                                            // 图片框1
  Child(w, L"STATIC", kCredit, WS_VISIBLE | SS_NOPREFIX, 0, 267, 419, 117, 17, -1, nullptr);     // 标签1
}

void SecondaryWindows::BuildAbout(WindowState& s) {
  const HWND w = s.window;
  auto& c = s.controls;
  c[static_cast<std::size_t>(AboutControl::VersionLabel)] =
      Child(w, L"STATIC", "版本：1.0", WS_VISIBLE | SS_NOPREFIX, 0, 21, 25, 173, 17, -1, nullptr);  // 标签1
  s.checkButton = Child(w, L"BUTTON", "检测更新", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 21, 64, 88, 24,
                        kIdCheckButton, yaHei_);  // 超级按钮_用户购卡4
  c[static_cast<std::size_t>(AboutControl::CheckButton)] = s.checkButton;
  s.homeLink = Child(w, L"STATIC", "手动查看最新版本", WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX, 0, 14, 105, 126,
                     20, kIdHomeLink, yaHeiLink_);  // 更多历史记录1
  Child(w, L"STATIC", kCredit, WS_VISIBLE | SS_NOPREFIX, 0, 23, 141, 209, 17, -1, nullptr);  // 标签5
  const HWND box = Child(w, kBoxClass, "", 0, 0, 8, 176, 304, 48, -1, nullptr);  // 外形框1, hidden
  c[static_cast<std::size_t>(AboutControl::Progress)] = box;
  AddPicture(s, box, L"CHECKING_GIF", 12, 8, 30, 30);  // 图片框2
  Child(box, L"STATIC", "正在检测更新中，请勿关闭本窗口", WS_VISIBLE | SS_NOPREFIX, 0, 55, 10, 241, 25, -1,
        yaHei_);  // 标签2666666
  c[static_cast<std::size_t>(AboutControl::ResultBox)] =
      Child(w, L"EDIT", "获取失败...", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL,
            WS_EX_CLIENTEDGE, 23, 184, 288, 200, -1, yaHei_);  // 编辑框11, hidden
  s.colours[static_cast<std::size_t>(AboutControl::ResultBox)] = 0x00808000;
  c[static_cast<std::size_t>(AboutControl::PageTextBox)] =
      Child(w, L"EDIT", "", WS_VISIBLE | ES_MULTILINE, WS_EX_CLIENTEDGE, 984, 104, 312, 256, -1,
            nullptr);  // 编辑框10
  Child(w, L"STATIC", kSupportText, WS_VISIBLE | SS_NOPREFIX, 0, 345, 3, 448, 56, -1, nullptr);  // 标签4
  AddPicture(s, w, L"SPONSOR_JPG", 330, 62, 472, 322);                                           // 图片框1
}

void SecondaryWindows::RunModal(SecondaryWindow which, IAboutWindowEvents* events) {
  WindowState& s = state(which);
  if (s.window != nullptr || !RegisterClasses()) return;
  const bool about = which == SecondaryWindow::About;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, about ? 820 : 644, about ? 424 : 474};
  ::AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const Text caption = about ? "检测更新/关于      ---- 部分图标素材来源于开源网站Icons8" : "赞助";

  s = WindowState{};
  s.events = about ? events : nullptr;
  s.window = ::CreateWindowExW(0, kWindowClass, ToWide(caption).c_str(), style,
                               (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                               (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (s.window == nullptr) return;
  ::SetWindowLongPtrW(s.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (about) {
    BuildAbout(s);
  } else {
    BuildSponsor(s);
  }
  ::SetTimer(s.window, kAnimationTimer, 100, nullptr);

  // Modal with no parent: the program's other parentless windows take no input meanwhile.
  std::vector<HWND> disabled;
  const HWND self = s.window;
  ParentlessWindows collect{self, &disabled};
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectParentless, reinterpret_cast<LPARAM>(&collect));
  for (HWND w : disabled) ::EnableWindow(w, FALSE);

  bool closed = false;
  s.closed = &closed;
  ::ShowWindow(self, SW_SHOW);
  ::SetForegroundWindow(self);
  if (about && s.checkButton != nullptr) ::SetFocus(s.checkButton);
  MSG message{};
  while (!closed) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: the outer loop must see the quit too.
      if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));
      if (::IsWindow(self)) ::DestroyWindow(self);
      break;
    }
    if (!::IsWindow(self) || !::IsDialogMessageW(self, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  for (HWND w : disabled) {
    if (::IsWindow(w)) ::EnableWindow(w, TRUE);
  }
  // Unless a window of this kind opened meanwhile, from a nested loop, and is still open.
  if (s.window == nullptr || s.window == self) s = WindowState{};
}

LRESULT CALLBACK SecondaryWindows::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<SecondaryWindows*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  HWND top = ::GetAncestor(window, GA_ROOT);
  WindowState& s = top == self->about_.window ? self->about_ : self->sponsor_;
  return self->Handle(s, window, message, wParam, lParam);
}

LRESULT SecondaryWindows::Handle(WindowState& s, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdCheckButton && HIWORD(wParam) == BN_CLICKED && s.events != nullptr) {
        s.events->OnCheckButtonClicked();
        return 0;
      }
      if (LOWORD(wParam) == kIdHomeLink && HIWORD(wParam) == STN_CLICKED && ZELV_HOME_PAGE_URL[0] != '\0') {
        ::ShellExecuteW(s.window, L"open", ToWide(ZELV_HOME_PAGE_URL).c_str(), nullptr, nullptr,
                        SW_SHOWNORMAL);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == s.checkButton || reinterpret_cast<HWND>(wParam) == s.homeLink) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
      const auto child = reinterpret_cast<HWND>(lParam);
      const auto dc = reinterpret_cast<HDC>(wParam);
      if (child == s.homeLink) {
        ::SetTextColor(dc, RGB(0, 102, 204));
        ::SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      for (std::size_t i = 0; i < s.controls.size(); ++i) {
        if (s.controls[i] == child && (i == static_cast<std::size_t>(AboutControl::ResultBox) ||
                                       i == static_cast<std::size_t>(AboutControl::PageTextBox))) {
          ::SetTextColor(dc, s.colours[i] & 0x00FFFFFF);
          ::SetBkColor(dc, RGB(255, 255, 255));
          return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
        }
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      for (Picture& p : s.pictures) {
        if (p.window != item->hwndItem) continue;
        ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
        if (p.image) {
          Gdiplus::Graphics graphics(item->hDC);
          graphics.DrawImage(p.image.get(), 0, 0, item->rcItem.right - item->rcItem.left,
                             item->rcItem.bottom - item->rcItem.top);
        }
        return TRUE;
      }
      break;
    }
    case WM_TIMER:
      if (wParam == kAnimationTimer) {
        for (Picture& p : s.pictures) {
          if (!p.image || p.frames < 2 || !::IsWindowVisible(p.window)) continue;
          p.frame = (p.frame + 1) % p.frames;
          GUID dimension = Gdiplus::FrameDimensionTime;
          p.image->SelectActiveFrame(&dimension, p.frame);
          ::InvalidateRect(p.window, nullptr, FALSE);
        }
        return 0;
      }
      break;
    case WM_CLOSE:
      if (window == s.window) {
        // A window another one's modal loop has disabled waits for that one to close first.
        if (::IsWindowEnabled(window)) ::DestroyWindow(window);
        return 0;
      }
      break;
    case WM_DESTROY:
      if (window == s.window) {
        // The controls still exist here; the check must stop before they go.
        if (s.events != nullptr) s.events->OnAboutWindowDestroying();
        ::KillTimer(window, kAnimationTimer);
        if (s.closed != nullptr) *s.closed = true;
        s.window = nullptr;
        return 0;
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<ISecondaryWindows> MakeSecondaryWindows(IForms&) {
  return std::make_unique<SecondaryWindows>();
}

}  // namespace zelv::win32
