#include "fakes/fake_secondary_windows.h"

#include <string>

#include "fakes/fake_forms.h"

namespace zelv::fakes {
namespace {
const char* WindowName(SecondaryWindow window) {
  return window == SecondaryWindow::About ? "About" : "Sponsor";
}
}  // namespace

const char* AboutControlName(AboutControl control) {
  switch (control) {
    case AboutControl::VersionLabel:
      return "VersionLabel";
    case AboutControl::CheckButton:
      return "CheckButton";
    case AboutControl::Progress:
      return "Progress";
    case AboutControl::ResultBox:
      return "ResultBox";
    case AboutControl::PageTextBox:
      return "PageTextBox";
  }
  return "?";
}

FakeSecondaryWindows::FakeSecondaryWindows(CallLog* log)
    : log_(log != nullptr ? log : &ownLog_), uiThread_(std::this_thread::get_id()) {}

void FakeSecondaryWindows::Record(std::string entry) {
  if (std::this_thread::get_id() != uiThread_) ++offUiThreadCalls_;
  log_->Add(std::move(entry));
}

bool FakeSecondaryWindows::ControlCall() {
  if (!state(SecondaryWindow::About).open) {
    ++callsWhileClosed_;
    return false;
  }
  return true;
}

bool FakeSecondaryWindows::IsOpen(SecondaryWindow window) { return state(window).open; }
bool FakeSecondaryWindows::IsMinimised(SecondaryWindow window) { return state(window).minimised; }

void FakeSecondaryWindows::Restore(SecondaryWindow window) {
  Record(std::string("Restore(") + WindowName(window) + ")");
  state(window).minimised = false;
}

void FakeSecondaryWindows::Activate(SecondaryWindow window) {
  Record(std::string("Activate(") + WindowName(window) + ")");
}

void FakeSecondaryWindows::RunModal(SecondaryWindow window, IAboutWindowEvents* events) {
  Record(std::string("RunModal(") + WindowName(window) + ")");
  WindowState& s = state(window);
  s.open = true;
  s.minimised = false;
  ++s.timesOpened;
  if (window == SecondaryWindow::About) {
    // A fresh window from the form every time.
    controls_ = {};
    control(AboutControl::VersionLabel) = {true, "版本：1.0", 0};
    control(AboutControl::CheckButton) = {true, "检测更新", 0};
    control(AboutControl::Progress) = {false, "", 0};
    control(AboutControl::ResultBox) = {false, "获取失败...", 0x00808000};
    control(AboutControl::PageTextBox) = {true, "", 0};
  }
  if (whileOpen) whileOpen(window, events);
  if (window == SecondaryWindow::About && events != nullptr) events->OnAboutWindowDestroying();
  s.open = false;
  Record(std::string("Closed(") + WindowName(window) + ")");
}

void FakeSecondaryWindows::SetVisible(AboutControl control, bool visible) {
  Record(std::string(visible ? "Show(" : "Hide(") + AboutControlName(control) + ")");
  if (ControlCall()) this->control(control).visible = visible;
}

void FakeSecondaryWindows::SetText(AboutControl control, const Text& text) {
  Record(std::string("SetText(") + AboutControlName(control) + "," + text + ")");
  if (ControlCall()) this->control(control).text = text;
}

void FakeSecondaryWindows::SetTextColour(AboutControl control, ColourValue colour) {
  Record(std::string("SetTextColour(") + AboutControlName(control) + "," + ColourName(colour) + ")");
  if (ControlCall()) this->control(control).textColour = colour;
}

Text FakeSecondaryWindows::Caption(AboutControl control) {
  if (!ControlCall()) return {};
  return this->control(control).text;
}

void FakeSecondaryWindows::MessageBox(const Text& text, const Text& caption) {
  Record("MessageBox(" + text + ")");
  ControlCall();
  messages_.push_back({text, caption});
  if (whileMessageBox) whileMessageBox();
}

}  // namespace zelv::fakes
