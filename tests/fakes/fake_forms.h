#pragma once
// An in-memory main window: each control keeps the properties the core writes, the menu
// keeps its check marks, and the dialogs answer from scripts the test sets up. Every call is
// written to a CallLog, so a test can assert on order across fakes.
#include <array>
#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fakes/call_log.h"
#include "platform/forms.h"

namespace zelv::fakes {

// Short names used in the log, e.g. "SetCaption(MuteLabel,ON)".
[[nodiscard]] const char* WidgetName(Widget widget);
[[nodiscard]] const char* MenuName(MenuCommand item);
// "0x00BBGGRR"
[[nodiscard]] std::string ColourName(ColourValue colour);

struct FakeWidget {
  WindowHandle handle = 0;
  Text caption;
  ColourValue textColour = 0x00FFFFFF;
  ColourValue backColour = 0;
  Rect bounds;  // client coordinates of the parent; right/bottom hold left+width/top+height
  // Only the main window's is held; the controls' follow from their parents.
  int screenLeft = 0;
  // What has been written on a drawing panel since its last clear.
  Text panelText;
};

struct ShownMessage {
  Text text;
  Text caption;
};

struct ShownPopup {
  std::vector<PopupItem> items;
  Point at;
};

class FakeForms final : public IForms {
 public:
  // The widgets start as the form creates them. Calls go to `log` when given, else to an
  // own log.
  explicit FakeForms(CallLog* log = nullptr);

  // --- IForms
  WindowHandle Handle(Widget widget) override;
  int ScreenLeft(Widget widget) override;
  int Width(Widget widget) override;
  int Height(Widget widget) override;
  void SetWidth(Widget widget, int width) override;
  void SetSize(Widget widget, int width, int height) override;
  void SetBounds(Widget widget, int left, int top, int width, int height) override;
  void SetBackColour(Widget widget, ColourValue colour) override;
  void SetTextColour(Widget widget, ColourValue colour) override;
  void SetCaption(Widget widget, const Text& caption) override;
  Text Caption(Widget widget) override;
  void ClearPanel(Widget widget) override;
  void DrawPanelText(Widget widget, const Text& text) override;
  void SetTimerPeriod(int milliseconds) override;
  void SetMenuCheck(MenuCommand item, bool checked) override;
  bool MenuCheck(MenuCommand item) override;
  int TrackPopup(const std::vector<PopupItem>& items, Point screen) override;
  Point CursorPos() override;
  void RegisterTooltip(Widget tool, const Text& text) override;
  void MessageBox(const Text& text, const Text& caption) override;
  InputResult InputBox(const Text& prompt, const Text& caption) override;
  void SendAppCommand(WindowHandle target, WindowHandle wParam, std::int32_t lParam) override;
  void PostToUi(std::function<void()> task) override;
  void EndProgram(int exitCode) override;

  // --- test controls
  [[nodiscard]] CallLog& log() { return *log_; }
  [[nodiscard]] FakeWidget& widget(Widget w) { return widgets_[static_cast<std::size_t>(w)]; }
  void SetCursor(Point p) { cursor_ = p; }
  // Answers of the next input boxes, in order; an input box with no answer left is cancelled.
  void QueueInput(InputResult answer) { inputAnswers_.push_back(std::move(answer)); }
  // The id the next popup returns (default -1: nothing chosen).
  void SetPopupChoice(int id) { popupChoice_ = id; }
  // Runs the posted tasks on the calling thread, including any they post; returns how many.
  std::size_t RunPosted();
  [[nodiscard]] std::size_t PendingPosts();

  [[nodiscard]] const std::vector<ShownMessage>& messages() const { return messages_; }
  [[nodiscard]] const std::vector<ShownMessage>& inputPrompts() const { return inputPrompts_; }
  [[nodiscard]] const std::vector<ShownPopup>& popups() const { return popups_; }
  [[nodiscard]] int timerPeriod() const { return timerPeriod_; }
  [[nodiscard]] std::optional<int> endCode() const { return endCode_; }
  // Called from EndProgram, e.g. to run the end routine the way the message loop would.
  std::function<void(int)> onEndProgram;
  // Calls other than PostToUi that came from a thread other than the one that built the fake:
  // the core must leave the controls to the UI thread.
  [[nodiscard]] int offUiThreadCalls() const { return offUiThreadCalls_.load(); }
  // A negative width given to any control (the real controls would misbehave).
  [[nodiscard]] int negativeWidths() const { return negativeWidths_.load(); }

 private:
  void Record(std::string entry);

  CallLog ownLog_;
  CallLog* log_;
  std::thread::id uiThread_;
  std::array<FakeWidget, 6> widgets_{};
  std::array<bool, 8> menuChecks_{};
  Point cursor_;
  std::deque<InputResult> inputAnswers_;
  int popupChoice_ = -1;
  std::vector<ShownMessage> messages_;
  std::vector<ShownMessage> inputPrompts_;
  std::vector<ShownPopup> popups_;
  int timerPeriod_ = 0;
  std::optional<int> endCode_;
  std::atomic<int> offUiThreadCalls_{0};
  std::atomic<int> negativeWidths_{0};

  std::mutex postMutex_;
  std::deque<std::function<void()>> posted_;
  bool ending_ = false;
};

}  // namespace zelv::fakes
