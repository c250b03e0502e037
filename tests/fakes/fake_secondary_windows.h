#pragma once
// In-memory about and sponsor windows. RunModal loads the form's initial state, lets the test
// act while the window is open (a script), then raises the destroy event and closes it.
#include <array>
#include <functional>
#include <thread>
#include <vector>

#include "fakes/call_log.h"
#include "platform/secondary_windows.h"

namespace zelv::fakes {

[[nodiscard]] const char* AboutControlName(AboutControl control);

struct FakeControl {
  bool visible = false;
  Text text;
  ColourValue textColour = 0;
};

struct BoxShown {
  Text text;
  Text caption;
};

class FakeSecondaryWindows final : public ISecondaryWindows {
 public:
  explicit FakeSecondaryWindows(CallLog* log = nullptr);

  // --- ISecondaryWindows
  bool IsOpen(SecondaryWindow window) override;
  bool IsMinimised(SecondaryWindow window) override;
  void Restore(SecondaryWindow window) override;
  void Activate(SecondaryWindow window) override;
  void RunModal(SecondaryWindow window, IAboutWindowEvents* events) override;
  void SetVisible(AboutControl control, bool visible) override;
  void SetText(AboutControl control, const Text& text) override;
  void SetTextColour(AboutControl control, ColourValue colour) override;
  Text Caption(AboutControl control) override;
  void MessageBox(const Text& text, const Text& caption) override;

  // --- scripting: what happens while a modal window is open; it gets the window's events.
  std::function<void(SecondaryWindow, IAboutWindowEvents*)> whileOpen;
  // Lets a test minimise an open window.
  void SetMinimised(SecondaryWindow window, bool minimised) { state(window).minimised = minimised; }
  // Runs while a message box is up (it is modal too).
  std::function<void()> whileMessageBox;

  // --- inspection
  [[nodiscard]] CallLog& log() { return *log_; }
  [[nodiscard]] FakeControl& control(AboutControl c) { return controls_[static_cast<std::size_t>(c)]; }
  [[nodiscard]] const std::vector<BoxShown>& messages() const { return messages_; }
  // Calls that came from a thread other than the one that built the fake.
  [[nodiscard]] int offUiThreadCalls() const { return offUiThreadCalls_; }
  // Control calls made while the about window was not open.
  [[nodiscard]] int callsWhileClosed() const { return callsWhileClosed_; }
  [[nodiscard]] int timesOpened(SecondaryWindow window) { return state(window).timesOpened; }

 private:
  struct WindowState {
    bool open = false;
    bool minimised = false;
    int timesOpened = 0;
  };
  WindowState& state(SecondaryWindow window) { return windows_[static_cast<std::size_t>(window)]; }
  void Record(std::string entry);
  bool ControlCall();

  CallLog ownLog_;
  CallLog* log_;
  std::thread::id uiThread_;
  std::array<WindowState, 2> windows_{};
  std::array<FakeControl, 5> controls_{};
  std::vector<BoxShown> messages_;
  int offUiThreadCalls_ = 0;
  int callsWhileClosed_ = 0;
};

}  // namespace zelv::fakes
