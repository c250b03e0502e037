#include "settings/secondary_windows.h"

#include <memory>

#include "app/app.h"
#include "net/update_check.h"
#include "platform/secondary_windows.h"

namespace zelv {
namespace {

// The program end can destroy the update check while the about window's modal loop still
// runs, so the window's events look the check up each time instead of holding it.
class AboutWindowEvents final : public IAboutWindowEvents {
 public:
  explicit AboutWindowEvents(App& app) : app_(app) {}
  void OnCheckButtonClicked() override {
    if (app_.updateCheck) app_.updateCheck->OnCheckButtonClicked();
  }
  void OnAboutWindowDestroying() override {
    if (app_.updateCheck) app_.updateCheck->OnAboutWindowDestroying();
  }

 private:
  App& app_;
};

// An open window is brought forward instead of opening a second one.
bool BringForwardIfOpen(ISecondaryWindows& windows, SecondaryWindow window) {
  if (!windows.IsOpen(window)) return false;
  if (windows.IsMinimised(window)) {
    windows.Restore(window);
  } else {
    windows.Activate(window);
  }
  return true;
}

}  // namespace

void OpenAboutWindow(App& app) {
  ISecondaryWindows* windows = app.platform().secondary;
  if (windows == nullptr || BringForwardIfOpen(*windows, SecondaryWindow::About)) return;
  if (!app.updateCheck) app.updateCheck = std::make_unique<UpdateCheck>(app);
  AboutWindowEvents events(app);
  windows->RunModal(SecondaryWindow::About, &events);
}

void OpenSponsorWindow(App& app) {
  ISecondaryWindows* windows = app.platform().secondary;
  if (windows == nullptr || BringForwardIfOpen(*windows, SecondaryWindow::Sponsor)) return;
  windows->RunModal(SecondaryWindow::Sponsor, nullptr);
}

}  // namespace zelv
