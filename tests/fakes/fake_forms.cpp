#include "fakes/fake_forms.h"

#include <cstdio>
#include <utility>

namespace zelv::fakes {

namespace {

std::size_t Index(MenuCommand m) { return static_cast<std::size_t>(m); }

std::string Hex(std::uintptr_t value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(value));
  return buf;
}

void Place(FakeWidget& w, int left, int top, int width, int height) {
  w.bounds = Rect{left, top, left + width, top + height};
}

}  // namespace

const char* WidgetName(Widget widget) {
  switch (widget) {
    case Widget::MainWindow:
      return "MainWindow";
    case Widget::MuteLabel:
      return "MuteLabel";
    case Widget::Track:
      return "Track";
    case Widget::Fill:
      return "Fill";
    case Widget::LevelLabel:
      return "LevelLabel";
    case Widget::InfoLabel:
      return "InfoLabel";
  }
  return "?";
}

const char* MenuName(MenuCommand item) {
  switch (item) {
    case MenuCommand::TrackColour:
      return "TrackColour";
    case MenuCommand::BarColour:
      return "BarColour";
    case MenuCommand::RestoreColours:
      return "RestoreColours";
    case MenuCommand::UpdateAbout:
      return "UpdateAbout";
    case MenuCommand::Support:
      return "Support";
    case MenuCommand::Autostart:
      return "Autostart";
    case MenuCommand::Restart:
      return "Restart";
    case MenuCommand::Exit:
      return "Exit";
  }
  return "?";
}

std::string ColourName(ColourValue colour) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(colour));
  return buf;
}

FakeForms::FakeForms(CallLog* log) : log_(log ? log : &ownLog_), uiThread_(std::this_thread::get_id()) {
  // As the form creates them.
  for (std::size_t i = 0; i < widgets_.size(); ++i) widgets_[i].handle = 0x1000 + 0x10 * i;
  FakeWidget& main = widget(Widget::MainWindow);
  Place(main, 0, 0, 180, 57);
  main.screenLeft = 500;
  main.backColour = 0;
  FakeWidget& mute = widget(Widget::MuteLabel);
  Place(mute, 141, 11, 25, 14);
  mute.caption = "OFF";
  FakeWidget& track = widget(Widget::Track);
  Place(track, 13, 15, 100, 6);
  track.backColour = kButtonFaceColour;
  track.textColour = 0;
  FakeWidget& fill = widget(Widget::Fill);
  Place(fill, 0, 0, 100, 40);
  fill.backColour = 0x00808000;
  fill.textColour = 0;
  FakeWidget& level = widget(Widget::LevelLabel);
  Place(level, 120, 11, 28, 13);
  level.caption = "等待...";
  FakeWidget& info = widget(Widget::InfoLabel);
  Place(info, 8, 8, 200, 40);
  info.caption = "透明标签";
}

void FakeForms::Record(std::string entry) {
  if (std::this_thread::get_id() != uiThread_) ++offUiThreadCalls_;
  log_->Add(std::move(entry));
}

WindowHandle FakeForms::Handle(Widget w) {
  if (std::this_thread::get_id() != uiThread_) ++offUiThreadCalls_;
  return widget(w).handle;
}

int FakeForms::ScreenLeft(Widget w) {
  if (std::this_thread::get_id() != uiThread_) ++offUiThreadCalls_;
  const int mainLeft = widget(Widget::MainWindow).screenLeft;
  switch (w) {
    case Widget::MainWindow:
      return mainLeft;
    case Widget::Fill:
      return mainLeft + widget(Widget::Track).bounds.left + widget(Widget::Fill).bounds.left;
    default:
      return mainLeft + widget(w).bounds.left;
  }
}

int FakeForms::Width(Widget w) {
  if (std::this_thread::get_id() != uiThread_) ++offUiThreadCalls_;
  const Rect& r = widget(w).bounds;
  return r.right - r.left;
}

int FakeForms::Height(Widget w) {
  if (std::this_thread::get_id() != uiThread_) ++offUiThreadCalls_;
  const Rect& r = widget(w).bounds;
  return r.bottom - r.top;
}

void FakeForms::SetWidth(Widget w, int width) {
  Record(std::string("SetWidth(") + WidgetName(w) + "," + std::to_string(width) + ")");
  if (width < 0) ++negativeWidths_;
  Rect& r = widget(w).bounds;
  r.right = r.left + width;
}

void FakeForms::SetSize(Widget w, int width, int height) {
  Record(std::string("SetSize(") + WidgetName(w) + "," + std::to_string(width) + "," +
         std::to_string(height) + ")");
  if (width < 0) ++negativeWidths_;
  Rect& r = widget(w).bounds;
  r.right = r.left + width;
  r.bottom = r.top + height;
}

void FakeForms::SetBounds(Widget w, int left, int top, int width, int height) {
  Record(std::string("SetBounds(") + WidgetName(w) + "," + std::to_string(left) + "," + std::to_string(top) +
         "," + std::to_string(width) + "," + std::to_string(height) + ")");
  if (width < 0) ++negativeWidths_;
  Place(widget(w), left, top, width, height);
}

void FakeForms::SetBackColour(Widget w, ColourValue colour) {
  Record(std::string("SetBackColour(") + WidgetName(w) + "," + ColourName(colour) + ")");
  widget(w).backColour = colour;
}

void FakeForms::SetTextColour(Widget w, ColourValue colour) {
  Record(std::string("SetTextColour(") + WidgetName(w) + "," + ColourName(colour) + ")");
  widget(w).textColour = colour;
}

void FakeForms::SetCaption(Widget w, const Text& caption) {
  Record(std::string("SetCaption(") + WidgetName(w) + "," + caption + ")");
  widget(w).caption = caption;
}

Text FakeForms::Caption(Widget w) {
  if (std::this_thread::get_id() != uiThread_) ++offUiThreadCalls_;
  return widget(w).caption;
}

void FakeForms::ClearPanel(Widget w) {
  Record(std::string("ClearPanel(") + WidgetName(w) + ")");
  widget(w).panelText.clear();
}

void FakeForms::DrawPanelText(Widget w, const Text& text) {
  Record(std::string("DrawPanelText(") + WidgetName(w) + "," + text + ")");
  widget(w).panelText += text;
}

void FakeForms::SetTimerPeriod(int milliseconds) {
  Record("SetTimerPeriod(" + std::to_string(milliseconds) + ")");
  timerPeriod_ = milliseconds;
}

void FakeForms::SetMenuCheck(MenuCommand item, bool checked) {
  Record(std::string("SetMenuCheck(") + MenuName(item) + "," + (checked ? "1" : "0") + ")");
  menuChecks_[Index(item)] = checked;
}

bool FakeForms::MenuCheck(MenuCommand item) {
  if (std::this_thread::get_id() != uiThread_) ++offUiThreadCalls_;
  return menuChecks_[Index(item)];
}

int FakeForms::TrackPopup(const std::vector<PopupItem>& items, Point screen) {
  Record("TrackPopup(" + std::to_string(items.size()) + "," + std::to_string(screen.x) + "," +
         std::to_string(screen.y) + ")");
  popups_.push_back(ShownPopup{items, screen});
  return popupChoice_;
}

Point FakeForms::CursorPos() {
  if (std::this_thread::get_id() != uiThread_) ++offUiThreadCalls_;
  return cursor_;
}

void FakeForms::RegisterTooltip(Widget tool, const Text& text) {
  Record(std::string("RegisterTooltip(") + WidgetName(tool) + "," + text + ")");
}

void FakeForms::MessageBox(const Text& text, const Text& caption) {
  Record("MessageBox(" + text + "," + caption + ")");
  messages_.push_back(ShownMessage{text, caption});
}

InputResult FakeForms::InputBox(const Text& prompt, const Text& caption) {
  Record("InputBox(" + prompt + "," + caption + ")");
  inputPrompts_.push_back(ShownMessage{prompt, caption});
  if (inputAnswers_.empty()) return InputResult{};
  InputResult answer = std::move(inputAnswers_.front());
  inputAnswers_.pop_front();
  return answer;
}

void FakeForms::SendAppCommand(WindowHandle target, WindowHandle wParam, std::int32_t lParam) {
  Record("SendAppCommand(" + Hex(target) + "," + Hex(wParam) + "," + Hex(static_cast<std::uint32_t>(lParam)) +
         ")");
}

void FakeForms::PostToUi(std::function<void()> task) {
  std::lock_guard lock(postMutex_);
  if (ending_) return;
  posted_.push_back(std::move(task));
}

void FakeForms::EndProgram(int exitCode) {
  Record("EndProgram(" + std::to_string(exitCode) + ")");
  {
    std::lock_guard lock(postMutex_);
    ending_ = true;
    posted_.clear();
  }
  if (!endCode_) endCode_ = exitCode;
  if (onEndProgram) onEndProgram(exitCode);
}

std::size_t FakeForms::RunPosted() {
  std::size_t ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(postMutex_);
      if (posted_.empty()) return ran;
      task = std::move(posted_.front());
      posted_.pop_front();
    }
    task();
    ++ran;
  }
}

std::size_t FakeForms::PendingPosts() {
  std::lock_guard lock(postMutex_);
  return posted_.size();
}

}  // namespace zelv::fakes
