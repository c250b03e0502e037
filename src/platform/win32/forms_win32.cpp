#include "platform/win32/forms_win32.h"

#include <commctrl.h>

#include <iterator>
#include <utility>

#include "platform/win32/wide_text.h"

namespace zelv::win32 {
namespace {

const Text kMainTitle = "Zelv Monitor";
const Text kLabelFace = "微软雅黑";
const Text kConfirmCaption = "确认输入(&O)";
const Text kCancelCaption = "取消(&C)";

constexpr ColourValue kBlack = 0x000000;
constexpr ColourValue kWhite = 0xFFFFFF;
constexpr ColourValue kFillDefault = 0x808000;  // RGB 0,128,128

constexpr UINT kLabelTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

COLORREF ToColorRef(ColourValue colour) {
  if (colour == kButtonFaceColour) return ::GetSysColor(COLOR_BTNFACE);
  return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

HWND AsWindow(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

void FillWithColour(HDC dc, const RECT& rect, ColourValue colour) {
  const ScopedGdiObject brush(::CreateSolidBrush(ToColorRef(colour)));
  ::FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

// The labels' font as the form gives it; CLIP_STROKE_PRECIS and OUT_STROKE_PRECIS are kept
// even though modern font mappers ignore them, because they are part of the looks.
LOGFONTW LabelLogFont() {
  LOGFONTW font{};
  font.lfHeight = -10;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = GB2312_CHARSET;
  font.lfOutPrecision = OUT_STROKE_PRECIS;
  font.lfClipPrecision = CLIP_STROKE_PRECIS;
  font.lfQuality = DRAFT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  const std::wstring face = ToWide(kLabelFace);
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return font;
}

struct InputState {
  HWND edit = nullptr;
  bool done = false;
  bool confirmed = false;
  std::wstring text;
};

LRESULT CALLBACK InputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<InputState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    // IsDialogMessage asks for the default button when Enter is pressed in the edit field.
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND:
      if (state == nullptr) break;
      if (LOWORD(wParam) == IDOK) {
        const int length = ::GetWindowTextLengthW(state->edit);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextW(state->edit, text.data(), length + 1)));
        state->text = std::move(text);
        state->confirmed = true;
        state->done = true;
        return 0;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        state->done = true;
        return 0;
      }
      break;
    case WM_CLOSE:
      if (state != nullptr) state->done = true;
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterOnce(const WNDCLASSEXW& windowClass) {
  if (::RegisterClassExW(&windowClass) != 0) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

Forms::Forms(HINSTANCE instance) : instance_(instance) {
  const LOGFONTW font = LabelLogFont();
  labelFont_.reset(::CreateFontIndirectW(&font));
}

Forms::~Forms() {
  {
    std::lock_guard lock(tasksMutex_);
    ending_ = true;
  }
  if (tooltip_ != nullptr) ::DestroyWindow(tooltip_);
  if (main_ != nullptr) {
    ::DestroyWindow(main_);
    // The loop never ran for this window (a start that failed, or a test): the quit its
    // destruction posted must not end the thread's next loop.
    MSG quit{};
    ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  // Tasks still queued are destroyed here, on the thread that owns the window.
  std::deque<std::function<void()>> dropped;
  std::lock_guard lock(tasksMutex_);
  dropped.swap(tasks_);
}

bool Forms::RegisterClasses() {
  WNDCLASSEXW mainClass{};
  mainClass.cbSize = sizeof(mainClass);
  mainClass.lpfnWndProc = &Forms::MainProc;
  mainClass.hInstance = instance_;
  mainClass.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(1));
  mainClass.hIconSm = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXSMICON),
                                                      ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  mainClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  mainClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  static const std::wstring mainClassName = ToWide(kMainTitle);
  mainClass.lpszClassName = mainClassName.c_str();

  WNDCLASSEXW controlClass{};
  controlClass.cbSize = sizeof(controlClass);
  controlClass.lpfnWndProc = &Forms::ControlProc;
  controlClass.hInstance = instance_;
  controlClass.hCursor = nullptr;  // each control sets its own in WM_SETCURSOR
  controlClass.lpszClassName = kLabelClass;
  const bool labels = RegisterOnce(controlClass);
  controlClass.lpszClassName = kPanelClass;
  const bool panels = RegisterOnce(controlClass);

  WNDCLASSEXW inputClass{};
  inputClass.cbSize = sizeof(inputClass);
  inputClass.lpfnWndProc = &InputProc;
  inputClass.hInstance = instance_;
  inputClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  inputClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  inputClass.lpszClassName = kInputBoxClass;
  const bool input = RegisterOnce(inputClass);

  return RegisterOnce(mainClass) && labels && panels && input;
}

HWND Forms::CreateChild(Control& control, const wchar_t* className, const Text& caption, DWORD style,
                        DWORD exStyle, HWND parent, RECT bounds, int id) {
  control.forms = this;
  control.window =
      ::CreateWindowExW(exStyle, className, ToWide(caption).c_str(), style | WS_CHILD | WS_CLIPSIBLINGS,
                        bounds.left, bounds.top, bounds.right, bounds.bottom, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, &control);
  return control.window;
}

bool Forms::CreateMainWindow(IFormsEvents& events) {
  if (main_ != nullptr || !RegisterClasses()) return false;
  events_ = &events;

  mainControl_ = Control{this, Widget::MainWindow, nullptr, false, false, nullptr, kBlack, kWhite, {}};
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - kMainWidth) / 2;
  const int top = (::GetSystemMetrics(SM_CYSCREEN) - kMainHeight) / 2;
  // WS_POPUP without WS_CAPTION: no frame, no title bar, no system menu. No owner, so the
  // window gets its own taskbar button.
  main_ =
      ::CreateWindowExW(0, ToWide(kMainTitle).c_str(), ToWide(kMainTitle).c_str(), WS_POPUP | WS_CLIPCHILDREN,
                        left, top, kMainWidth, kMainHeight, nullptr, nullptr, instance_, this);
  if (main_ == nullptr) return false;
  mainControl_.window = main_;

  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  // Form order, which is also the creation order.
  Control& mute = controls_[0];
  mute = Control{this, Widget::MuteLabel, nullptr, true, true, hand, kBlack, kWhite, {}};
  CreateChild(mute, kLabelClass, "OFF", WS_VISIBLE | WS_BORDER, 0, main_, RECT{141, 11, 25, 14},
              kIdMuteLabel);

  Control& track = controls_[1];
  track = Control{this, Widget::Track, nullptr, false, false, arrow, kButtonFaceColour, kBlack, {}};
  CreateChild(track, kPanelClass, "", WS_VISIBLE | WS_CLIPCHILDREN, 0, main_, RECT{13, 15, 100, 6}, kIdTrack);

  Control& fill = controls_[2];
  fill = Control{this, Widget::Fill, nullptr, false, false, arrow, kFillDefault, kBlack, {}};
  CreateChild(fill, kPanelClass, "", WS_VISIBLE, 0, track.window, RECT{0, 0, 100, 40}, kIdFill);

  Control& level = controls_[3];
  level = Control{this, Widget::LevelLabel, nullptr, true, false, arrow, kBlack, kWhite, {}};
  CreateChild(level, kLabelClass, "等待...", WS_VISIBLE, 0, main_, RECT{120, 11, 28, 13}, kIdLevelLabel);

  // The refresh timer 任务栏_刷新位置 exists from here but runs only once a period is given.
  timerPeriod_ = 0;

  Control& info = controls_[4];
  info = Control{this, Widget::InfoLabel, nullptr, true, false, arrow, kBlack, kWhite, {}};
  CreateChild(info, kLabelClass, "透明标签", 0, WS_EX_TRANSPARENT, main_, RECT{8, 8, 200, 40}, kIdInfoLabel);

  // The level label's box reaches 7 pixels into the mute label's; the mute label lies above
  // it (and siblings clip each other) so its border and caption show whole.
  ::SetWindowPos(mute.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  {
    // Work posted before the window existed (none is expected) waits for it.
    std::lock_guard lock(tasksMutex_);
    if (!tasks_.empty() && !wakePosted_) wakePosted_ = ::PostMessageW(main_, kWmRunTasks, 0, 0) != FALSE;
  }

  events_->OnMainWindowCreated();
  if (main_ != nullptr && !Ending()) ::ShowWindow(main_, SW_SHOW);
  return true;
}

int Forms::RunMessageLoop() {
  MSG message{};
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1) {
      // Only an invalid argument makes GetMessage fail; ending is safer than spinning.
      EndProgram(exitCode_);
      break;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return exitCode_;
}

bool Forms::Ending() const {
  std::lock_guard lock(tasksMutex_);
  return ending_;
}

HWND Forms::Window(Widget widget) const noexcept {
  if (widget == Widget::MainWindow) return main_;
  for (const Control& control : controls_)
    if (control.widget == widget) return control.window;
  return nullptr;
}

Forms::Control* Forms::Find(Widget widget) noexcept {
  if (widget == Widget::MainWindow) return main_ != nullptr ? &mainControl_ : nullptr;
  for (Control& control : controls_)
    if (control.widget == widget && control.window != nullptr) return &control;
  return nullptr;
}

RECT Forms::BoundsInParent(HWND window) const {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  // GA_PARENT is the desktop for a top-level window, so its bounds stay in screen coordinates;
  // once docked the parent is the rebar of another process, which MapWindowPoints handles too.
  ::MapWindowPoints(HWND_DESKTOP, ::GetAncestor(window, GA_PARENT), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

WindowHandle Forms::Handle(Widget widget) { return reinterpret_cast<WindowHandle>(Window(widget)); }

int Forms::ScreenLeft(Widget widget) {
  RECT rect{};
  const HWND window = Window(widget);
  if (window == nullptr || !::GetWindowRect(window, &rect)) return 0;
  return rect.left;
}

int Forms::Width(Widget widget) {
  RECT rect{};
  const HWND window = Window(widget);
  if (window == nullptr || !::GetWindowRect(window, &rect)) return 0;
  return rect.right - rect.left;
}

int Forms::Height(Widget widget) {
  RECT rect{};
  const HWND window = Window(widget);
  if (window == nullptr || !::GetWindowRect(window, &rect)) return 0;
  return rect.bottom - rect.top;
}

void Forms::SetWidth(Widget widget, int width) {
  const HWND window = Window(widget);
  if (window == nullptr) return;
  const RECT rect = BoundsInParent(window);
  SetBounds(widget, rect.left, rect.top, width, rect.bottom - rect.top);
}

void Forms::SetSize(Widget widget, int width, int height) {
  const HWND window = Window(widget);
  if (window == nullptr) return;
  const RECT rect = BoundsInParent(window);
  SetBounds(widget, rect.left, rect.top, width, height);
}

void Forms::SetBounds(Widget widget, int left, int top, int width, int height) {
  const HWND window = Window(widget);
  if (window == nullptr) return;
  // A window cannot be narrower than nothing; a negative request means "empty".
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const RECT rect = BoundsInParent(window);
  if (rect.left == left && rect.top == top && rect.right - rect.left == width &&
      rect.bottom - rect.top == height)
    return;  // the poll writes the same width twice a second; an unchanged window is not repainted
  ::MoveWindow(window, left, top, width, height, TRUE);
}

void Forms::SetBackColour(Widget widget, ColourValue colour) {
  Control* control = Find(widget);
  if (control == nullptr || control->back == colour) return;
  control->back = colour;
  ::InvalidateRect(control->window, nullptr, TRUE);
}

void Forms::SetTextColour(Widget widget, ColourValue colour) {
  Control* control = Find(widget);
  if (control == nullptr || control->text == colour) return;
  control->text = colour;
  ::InvalidateRect(control->window, nullptr, TRUE);
}

void Forms::SetCaption(Widget widget, const Text& caption) {
  const HWND window = Window(widget);
  if (window == nullptr || WindowText(window) == caption) return;
  ::SetWindowTextW(window, ToWide(caption).c_str());
}

Text Forms::Caption(Widget widget) {
  const HWND window = Window(widget);
  return window != nullptr ? WindowText(window) : Text{};
}

void Forms::ClearPanel(Widget widget) {
  Control* control = Find(widget);
  if (control == nullptr || control->label || widget == Widget::MainWindow) return;
  control->drawn.clear();
  ::InvalidateRect(control->window, nullptr, TRUE);
  ::UpdateWindow(control->window);
}

void Forms::DrawPanelText(Widget widget, const Text& text) {
  Control* control = Find(widget);
  if (control == nullptr || control->label || widget == Widget::MainWindow) return;
  // Writing goes on where the last write ended, until the next clear.
  control->drawn += ToWide(text);
  ::InvalidateRect(control->window, nullptr, TRUE);
  ::UpdateWindow(control->window);
}

void Forms::SetTimerPeriod(int milliseconds) {
  if (main_ == nullptr || milliseconds == timerPeriod_) return;
  timerPeriod_ = milliseconds;
  if (milliseconds <= 0)
    ::KillTimer(main_, kRefreshTimerId);
  else
    ::SetTimer(main_, kRefreshTimerId, static_cast<UINT>(milliseconds), nullptr);
}

void Forms::SetMenuCheck(MenuCommand item, bool checked) {
  const auto index = static_cast<std::size_t>(item);
  if (index < menuChecks_.size()) menuChecks_[index] = checked;
}

bool Forms::MenuCheck(MenuCommand item) {
  const auto index = static_cast<std::size_t>(item);
  return index < menuChecks_.size() && menuChecks_[index];
}

int Forms::TrackPopup(const std::vector<PopupItem>& items, Point screen) {
  if (main_ == nullptr || items.empty()) return -1;
  ScopedMenu menu(::CreatePopupMenu());
  if (!menu) return -1;
  // Command ids are positions + 1: TrackPopupMenu returns 0 for "nothing chosen", which must
  // not be confused with an item whose own id is 0.
  for (std::size_t i = 0; i < items.size(); ++i) {
    const UINT flags = MF_STRING | (items[i].checked ? MF_CHECKED : MF_UNCHECKED);
    ::AppendMenuW(menu.get(), flags, i + 1, ToWide(items[i].text).c_str());
  }
  // Without this the menu would not close when the user clicks elsewhere.
  ::SetForegroundWindow(main_);
  const int chosen = static_cast<int>(
      ::TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, 0, main_, nullptr));
  ::PostMessageW(main_, WM_NULL, 0, 0);
  if (chosen <= 0 || static_cast<std::size_t>(chosen) > items.size()) return -1;
  return items[static_cast<std::size_t>(chosen) - 1].id;
}

Point Forms::CursorPos() {
  POINT point{};
  if (!::GetCursorPos(&point)) return {};
  return Point{point.x, point.y};
}

void Forms::RegisterTooltip(Widget tool, const Text& text) {
  const HWND toolWindow = Window(tool);
  if (toolWindow == nullptr || main_ == nullptr) return;
  if (tooltip_ == nullptr) {
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, main_, nullptr, instance_, nullptr);
    if (tooltip_ == nullptr) return;
  }
  // The V2 size is understood by comctl32 5.8 and 6 alike; the full structure of the v6
  // headers is refused by the older one.
  TTTOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_CENTERTIP | TTF_SUBCLASS;
  info.hwnd = main_;
  info.uId = reinterpret_cast<UINT_PTR>(toolWindow);
  Text ansi = text;
  info.lpszText = ansi.data();
  // Registration repeats on every mouse move; without removing the previous registration the
  // tooltip control would keep one more tool each time and grow for as long as the program runs.
  ::SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void Forms::MessageBox(const Text& text, const Text& caption) {
  const Text& shown = caption.empty() ? Text(kMessageCaption) : caption;
  ::MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(shown).c_str(), MB_OK | MB_TASKMODAL);
}

InputResult Forms::InputBox(const Text& prompt, const Text& caption) {
  if (!RegisterClasses()) return {};
  InputState state;
  constexpr int kClientWidth = 360;
  constexpr int kClientHeight = 118;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const Text& title = caption.empty() ? Text(kInputCaption) : caption;
  const HWND dialog = ::CreateWindowExW(
      exStyle, kInputBoxClass, ToWide(title).c_str(), style, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
      (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr, instance_, &state);
  if (dialog == nullptr) return {};

  const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
  auto child = [&](const wchar_t* cls, const Text& text, DWORD childStyle, DWORD childEx, int x, int y, int w,
                   int h, int id) {
    const HWND window =
        ::CreateWindowExW(childEx, cls, ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | childStyle, x, y, w, h,
                          dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    ::SendMessageW(window, WM_SETFONT, font, FALSE);
    return window;
  };
  child(L"STATIC", prompt, SS_LEFT | SS_NOPREFIX, 0, 12, 10, 336, 34, -1);
  state.edit =
      child(L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 12, 48, 336, 22, kIdInputEdit);
  child(L"BUTTON", kConfirmCaption, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 150, 80, 96, 26, IDOK);
  child(L"BUTTON", kCancelCaption, WS_TABSTOP | BS_PUSHBUTTON, 0, 252, 80, 96, 26, IDCANCEL);

  // Task-modal: the main window takes no input while the box is open.
  const bool mainWasEnabled = main_ != nullptr && ::IsWindowEnabled(main_);
  if (mainWasEnabled) ::EnableWindow(main_, FALSE);
  ::ShowWindow(dialog, SW_SHOW);
  ::SetForegroundWindow(dialog);
  ::SetFocus(state.edit);

  MSG message{};
  while (!state.done) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: hand the quit on to the outer loop and treat it as a cancel.
      if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));
      state.confirmed = false;
      break;
    }
    if (!::IsDialogMessageW(dialog, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  if (mainWasEnabled && main_ != nullptr) ::EnableWindow(main_, TRUE);
  ::DestroyWindow(dialog);
  if (!state.confirmed) return {};
  return InputResult{true, FromWide(state.text)};
}

void Forms::SendAppCommand(WindowHandle target, WindowHandle wParam, std::int32_t lParam) {
  ::SendMessageA(AsWindow(target), WM_APPCOMMAND, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

void Forms::PostToUi(std::function<void()> task) {
  if (!task) return;
  std::lock_guard lock(tasksMutex_);
  if (ending_) return;
  tasks_.push_back(std::move(task));
  // One wake-up message covers every task queued before it is handled.
  if (main_ != nullptr && !wakePosted_) wakePosted_ = ::PostMessageW(main_, kWmRunTasks, 0, 0) != FALSE;
}

void Forms::RunTasks() {
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(tasksMutex_);
      wakePosted_ = false;
      if (ending_ || tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

void Forms::EndProgram(int exitCode) {
  exitCode_ = exitCode;
  {
    std::lock_guard lock(tasksMutex_);
    ending_ = true;
  }
  if (main_ != nullptr)
    ::DestroyWindow(main_);  // WM_DESTROY posts the quit
  else
    ::PostQuitMessage(exitCode);
}

void Forms::OnMainDestroyed() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(tasksMutex_);
    ending_ = true;
    dropped.swap(tasks_);
  }
  ::KillTimer(main_, kRefreshTimerId);
  ::PostQuitMessage(exitCode_);
}

void Forms::Raise(void (IFormsEvents::*event)(Widget), Widget widget) {
  if (events_ != nullptr && !Ending()) (events_->*event)(widget);
}

LRESULT CALLBACK Forms::MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* forms = reinterpret_cast<Forms*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (forms == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return forms->HandleMain(window, message, wParam, lParam);
  } catch (...) {
    // A handler that throws must not unwind through user32.
    return 0;
  }
}

LRESULT Forms::HandleMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintMain(window);
      return 0;
    case WM_LBUTTONDOWN:
      Raise(&IFormsEvents::OnLeftButtonDown, Widget::MainWindow);
      // The window has no title bar; while it is still a top-level window it is moved by
      // dragging its background.
      if (::GetAncestor(window, GA_PARENT) == ::GetDesktopWindow() && ::IsWindow(window)) {
        ::ReleaseCapture();
        ::SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      }
      return 0;
    case WM_RBUTTONDOWN:
      Raise(&IFormsEvents::OnRightButtonDown, Widget::MainWindow);
      return 0;
    case WM_MOUSEMOVE:
      Raise(&IFormsEvents::OnMouseMove, Widget::MainWindow);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        ::SendMessageW(window, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == kRefreshTimerId) {
        if (events_ != nullptr && !Ending()) events_->OnTimer();
        return 0;
      }
      break;
    case kWmRunTasks:
      RunTasks();
      return 0;
    case WM_DESTROY:
      OnMainDestroyed();
      return 0;
    case WM_NCDESTROY:
      main_ = nullptr;
      for (Control& control : controls_) control.window = nullptr;
      mainControl_.window = nullptr;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void Forms::PaintMain(HWND window) {
  PAINTSTRUCT paint{};
  const HDC dc = ::BeginPaint(window, &paint);
  FillWithColour(dc, paint.rcPaint, mainControl_.back);
  ::EndPaint(window, &paint);
}

LRESULT CALLBACK Forms::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    if (auto* control = static_cast<Control*>(create->lpCreateParams)) control->window = window;
  }
  auto* control = reinterpret_cast<Control*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (control == nullptr || control->forms == nullptr)
    return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return control->forms->HandleControl(*control, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT Forms::HandleControl(Control& control, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = control.window;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel; erasing first would only flicker
    case WM_PAINT:
      PaintControl(control);
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
      ::InvalidateRect(window, nullptr, FALSE);
      return result;
    }
    case WM_SETFONT:
      // The labels share the one font of the form; other fonts are not taken.
      return 0;
    case WM_GETFONT:
      return control.label ? reinterpret_cast<LRESULT>(labelFont_.get()) : 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && control.cursor != nullptr) {
        ::SetCursor(control.cursor);
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      Raise(&IFormsEvents::OnLeftButtonDown, control.widget);
      return 0;
    case WM_RBUTTONDOWN:
      Raise(&IFormsEvents::OnRightButtonDown, control.widget);
      return 0;
    case WM_MOUSEMOVE:
      Raise(&IFormsEvents::OnMouseMove, control.widget);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE && main_ != nullptr) {
        ::SendMessageW(main_, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      control.window = nullptr;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void Forms::PaintControl(Control& control) {
  PAINTSTRUCT paint{};
  const HDC dc = ::BeginPaint(control.window, &paint);
  RECT client{};
  ::GetClientRect(control.window, &client);
  FillWithColour(dc, client, control.back);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ToColorRef(control.text));
  if (control.label) {
    wchar_t text[256] = {};
    const int length = ::GetWindowTextW(control.window, text, static_cast<int>(std::size(text)));
    const HGDIOBJ old = ::SelectObject(dc, labelFont_.get());
    ::DrawTextW(dc, text, length, &client, kLabelTextFormat | (control.centred ? DT_CENTER : DT_LEFT));
    ::SelectObject(dc, old);
  } else if (!control.drawn.empty()) {
    const HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::TextOutW(dc, 0, 0, control.drawn.c_str(), static_cast<int>(control.drawn.size()));
    ::SelectObject(dc, old);
  }
  ::EndPaint(control.window, &paint);
}

}  // namespace zelv::win32
