#pragma once
// The about and sponsor windows as the core sees them. Every call is made on the UI thread;
// the update check's worker reaches the controls only through IForms::PostToUi.
#include "platform/types.h"

namespace zelv {

enum class SecondaryWindow {
  About,    // AboutWindow, "检测更新/关于 ..."
  Sponsor,  // SponsorWindow, "赞助"
};

// AboutWindow's controls that the update check uses, by the names of the form.
enum class AboutControl {
  VersionLabel,  // 标签1, "版本：1.0"
  CheckButton,   // 超级按钮_用户购卡4, "检测更新"
  Progress,      // 外形框1, the shape box with the animation and its text
  ResultBox,     // 编辑框11
  PageTextBox,   // 编辑框10, placed outside the window
};

// What AboutWindow reports back; on the UI thread.
class IAboutWindowEvents {
 public:
  virtual ~IAboutWindowEvents() = default;
  virtual void OnCheckButtonClicked() = 0;
  // Raised while the window still exists, just before it and its controls are destroyed.
  virtual void OnAboutWindowDestroying() = 0;
};

class ISecondaryWindows {
 public:
  virtual ~ISecondaryWindows() = default;

  [[nodiscard]] virtual bool IsOpen(SecondaryWindow window) = 0;
  [[nodiscard]] virtual bool IsMinimised(SecondaryWindow window) = 0;
  virtual void Restore(SecondaryWindow window) = 0;
  virtual void Activate(SecondaryWindow window) = 0;
  // Loads a fresh window from its form as a modal window with no parent and returns when it
  // has been closed; the program's other parentless windows are disabled meanwhile.
  // events is used by the about window only and may be null.
  virtual void RunModal(SecondaryWindow window, IAboutWindowEvents* events) = 0;

  // The about window's controls; ignored while the window is not open.
  virtual void SetVisible(AboutControl control, bool visible) = 0;
  virtual void SetText(AboutControl control, const Text& text) = 0;
  virtual void SetTextColour(AboutControl control, ColourValue colour) = 0;
  [[nodiscard]] virtual Text Caption(AboutControl control) = 0;
  // Task-modal, one OK button, owned by the about window.
  virtual void MessageBox(const Text& text, const Text& caption) = 0;
};

}  // namespace zelv
