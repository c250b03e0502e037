#pragma once
// The forms run time on plain Win32: the main window with its controls, the popup menu, the
// message and input boxes, and the queue that carries workers' results to the UI thread.
#include <windows.h>
// windows.h maps MessageBox to MessageBoxW; the interface's method keeps its own name.
#undef MessageBox
#include <objbase.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/forms.h"
#include "platform/forms_events.h"
#include "platform/win32/handles.h"

namespace zelv::win32 {

// Control identifiers, so that automation can reach each child with GetDlgItem.
inline constexpr int kIdMuteLabel = 101;
inline constexpr int kIdTrack = 102;
inline constexpr int kIdFill = 103;
inline constexpr int kIdLevelLabel = 104;
inline constexpr int kIdInfoLabel = 105;
// The input box's edit field.
inline constexpr int kIdInputEdit = 100;

inline constexpr wchar_t kLabelClass[] = L"Zelv Monitor Label";
inline constexpr wchar_t kPanelClass[] = L"Zelv Monitor Panel";
inline constexpr wchar_t kInputBoxClass[] = L"Zelv Monitor Input";

inline constexpr int kMainWidth = 180;
inline constexpr int kMainHeight = 57;

// Private message that tells the main window that PostToUi queued work.
inline constexpr UINT kWmRunTasks = WM_APP + 0x5A;
inline constexpr UINT_PTR kRefreshTimerId = 1;

class Forms final : public IForms {
 public:
  explicit Forms(HINSTANCE instance);
  ~Forms() override;
  Forms(const Forms&) = delete;
  Forms& operator=(const Forms&) = delete;

  // Loads the main window: creates it and its controls, raises OnMainWindowCreated, then
  // shows it unless the program already ended inside that event. False when the window
  // could not be created at all.
  [[nodiscard]] bool CreateMainWindow(IFormsEvents& events);
  // Runs until the program ends; returns the exit code given to EndProgram (0 when the window
  // was closed).
  [[nodiscard]] int RunMessageLoop();

  [[nodiscard]] HWND Window(Widget widget) const noexcept;
  [[nodiscard]] HWND TooltipWindow() const noexcept { return tooltip_; }
  [[nodiscard]] bool Ending() const;

  // IForms
  [[nodiscard]] WindowHandle Handle(Widget widget) override;
  [[nodiscard]] int ScreenLeft(Widget widget) override;
  [[nodiscard]] int Width(Widget widget) override;
  [[nodiscard]] int Height(Widget widget) override;
  void SetWidth(Widget widget, int width) override;
  void SetSize(Widget widget, int width, int height) override;
  void SetBounds(Widget widget, int left, int top, int width, int height) override;
  void SetBackColour(Widget widget, ColourValue colour) override;
  void SetTextColour(Widget widget, ColourValue colour) override;
  void SetCaption(Widget widget, const Text& caption) override;
  [[nodiscard]] Text Caption(Widget widget) override;
  void ClearPanel(Widget widget) override;
  void DrawPanelText(Widget widget, const Text& text) override;
  void SetTimerPeriod(int milliseconds) override;
  void SetMenuCheck(MenuCommand item, bool checked) override;
  [[nodiscard]] bool MenuCheck(MenuCommand item) override;
  int TrackPopup(const std::vector<PopupItem>& items, Point screen) override;
  [[nodiscard]] Point CursorPos() override;
  void RegisterTooltip(Widget tool, const Text& text) override;
  void MessageBox(const Text& text, const Text& caption) override;
  InputResult InputBox(const Text& prompt, const Text& caption) override;
  void SendAppCommand(WindowHandle target, WindowHandle wParam, std::int32_t lParam) override;
  void PostToUi(std::function<void()> task) override;
  void EndProgram(int exitCode) override;

  // What a child window needs to paint itself and route its input.
  struct Control {
    Forms* forms = nullptr;
    Widget widget = Widget::MainWindow;
    HWND window = nullptr;
    bool label = false;
    bool centred = false;
    HCURSOR cursor = nullptr;
    ColourValue back = 0;
    ColourValue text = 0;
    // A drawing panel's written text, kept so that it survives repaints until the next clear.
    std::wstring drawn;
  };

 private:
  static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleControl(Control& control, UINT message, WPARAM wParam, LPARAM lParam);
  void PaintMain(HWND window);
  void PaintControl(Control& control);
  [[nodiscard]] bool RegisterClasses();
  HWND CreateChild(Control& control, const wchar_t* className, const Text& caption, DWORD style,
                   DWORD exStyle, HWND parent, RECT bounds, int id);
  [[nodiscard]] Control* Find(Widget widget) noexcept;
  [[nodiscard]] RECT BoundsInParent(HWND window) const;
  void RunTasks();
  void Raise(void (IFormsEvents::*event)(Widget), Widget widget);
  void OnMainDestroyed();

  HINSTANCE instance_;
  IFormsEvents* events_ = nullptr;
  HWND main_ = nullptr;
  Control mainControl_;
  std::array<Control, 5> controls_;
  ScopedGdiObject labelFont_;
  HWND tooltip_ = nullptr;
  int timerPeriod_ = 0;
  std::array<bool, 8> menuChecks_{};
  int exitCode_ = 0;

  mutable std::mutex tasksMutex_;
  std::deque<std::function<void()>> tasks_;
  bool ending_ = false;      // guarded by tasksMutex_
  bool wakePosted_ = false;  // guarded by tasksMutex_
};

}  // namespace zelv::win32
