#pragma once
// The forms run time as the core sees it: the main window, its controls and menu, the
// message and input boxes, and the one way back to the UI thread.
//
// Every call except PostToUi must be made on the UI thread.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/types.h"

namespace zelv {

// The main window and its controls, by the names of the form.
enum class Widget {
  MainWindow,
  MuteLabel,   // 标签1
  Track,       // 画板2
  Fill,        // 画板_音量2, a child of the track
  LevelLabel,  // 标签14
  InfoLabel,   // 标签_信息, hidden
};

// ContextMenu's items, in menu order.
enum class MenuCommand {
  TrackColour,     // 自定义进度条背景颜色
  BarColour,       // 自定义进度条颜色
  RestoreColours,  // 恢复默认颜色方案
  UpdateAbout,     // 检测更新/关于
  Support,         // 支持作者~~
  Autostart,       // 开机启动
  Restart,         // 重启程序
  Exit,            // 退出程序
};

// The captions the message and input boxes carry when a command names none.
inline constexpr char kMessageCaption[] = "信息：";
inline constexpr char kInputCaption[] = "请输入：";

struct PopupItem {
  Text text;
  bool checked = false;
  int id = 0;
};

struct InputResult {
  bool confirmed = false;
  Text text;
};

class IForms {
 public:
  virtual ~IForms() = default;

  [[nodiscard]] virtual WindowHandle Handle(Widget widget) = 0;
  // The left edge in screen coordinates.
  [[nodiscard]] virtual int ScreenLeft(Widget widget) = 0;
  [[nodiscard]] virtual int Width(Widget widget) = 0;
  [[nodiscard]] virtual int Height(Widget widget) = 0;
  virtual void SetWidth(Widget widget, int width) = 0;
  virtual void SetSize(Widget widget, int width, int height) = 0;
  // Place in the parent's client coordinates; nothing happens when the rectangle is unchanged.
  virtual void SetBounds(Widget widget, int left, int top, int width, int height) = 0;
  virtual void SetBackColour(Widget widget, ColourValue colour) = 0;
  virtual void SetTextColour(Widget widget, ColourValue colour) = 0;
  virtual void SetCaption(Widget widget, const Text& caption) = 0;
  [[nodiscard]] virtual Text Caption(Widget widget) = 0;
  // A drawing panel: fill it with its background colour and reset the writing position.
  virtual void ClearPanel(Widget widget) = 0;
  // A drawing panel: write text at the writing position, in its text colour and font.
  virtual void DrawPanelText(Widget widget, const Text& text) = 0;
  // Period of the refresh timer 任务栏_刷新位置; 0 stops it.
  virtual void SetTimerPeriod(int milliseconds) = 0;

  virtual void SetMenuCheck(MenuCommand item, bool checked) = 0;
  [[nodiscard]] virtual bool MenuCheck(MenuCommand item) = 0;
  // A popup menu owned by the main window at a screen point (TPM_RIGHTBUTTON); the id of the
  // chosen item, or -1.
  virtual int TrackPopup(const std::vector<PopupItem>& items, Point screen) = 0;
  [[nodiscard]] virtual Point CursorPos() = 0;
  // Registers the process's tooltip for a tool window (TTM_ADDTOOLA; see the main window).
  virtual void RegisterTooltip(Widget tool, const Text& text) = 0;

  // Task-modal message box with one OK button.
  virtual void MessageBox(const Text& text, const Text& caption) = 0;
  // Prompt, one edit field, "确认输入(&O)" and "取消(&C)".
  virtual InputResult InputBox(const Text& prompt, const Text& caption) = 0;

  // SendMessageA(target, WM_APPCOMMAND, wParam, lParam).
  virtual void SendAppCommand(WindowHandle target, WindowHandle wParam, std::int32_t lParam) = 0;

  // Any thread: run the task on the UI thread, in posting order. Tasks posted after the
  // program has started to end are dropped.
  virtual void PostToUi(std::function<void()> task) = 0;
  // End the program: the message loop stops, the end routine runs once, exit code as given.
  virtual void EndProgram(int exitCode) = 0;
};

}  // namespace zelv
