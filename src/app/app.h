#pragma once
// The program's process-wide state and the routing of the main window's events.
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/forms_events.h"
#include "platform/platform.h"
#include "platform/types.h"

namespace zelv {

class EndpointVolume;  // audio/endpoint_volume.h
class VolumePoller;    // audio/volume_display.h: the poll thread
class UpdateCheck;     // net/update_check.h: the about window's check and its worker

// The six texts of the update check; unset until a check gets past the probe.
struct UpdateTexts {
  std::optional<Text> encodedVersion;
  std::optional<Text> encodedDownloadAddress;
  std::optional<Text> encodedUpdateNotes;
  std::optional<Text> latestVersion;
  std::optional<Text> downloadAddress;
  std::optional<Text> updateNotes;
};

// Docking state kept so the taskbar can be given back at exit and a failed dock retried.
struct DockState {
  bool docked = false;              // re-parented into a rebar
  WindowHandle rebar = 0;           // the rebar it was docked into
  WindowHandle taskSwitchArea = 0;  // last task-switch area that was shrunk
};

class App final : public IFormsEvents {
 public:
  // Start-up step 2: creates MuteEndpoint, then LevelEndpoint, both unopened.
  explicit App(const Platform& platform);
  ~App() override;
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  [[nodiscard]] const Platform& platform() const { return platform_; }

  // IFormsEvents
  void OnMainWindowCreated() override;
  void OnLeftButtonDown(Widget widget) override;
  void OnRightButtonDown(Widget widget) override;
  void OnMouseMove(Widget widget) override;
  void OnTimer() override;

  void ShowContextMenu();
  void OnMenu(MenuCommand item);

  // The end routine: runs its steps the first time only.
  void ExitCleanup();
  [[nodiscard]] bool exitCleanupDone() const { return exitCleanupDone_; }

  // Process-wide globals.
  std::unique_ptr<EndpointVolume> muteEndpoint;
  std::unique_ptr<EndpointVolume> levelEndpoint;
  std::optional<Text> barColourText;
  std::optional<Text> trackColourText;
  std::uint32_t pollThreadId = 0;
  UpdateTexts updateTexts;

  std::unique_ptr<VolumePoller> poller;
  std::unique_ptr<UpdateCheck> updateCheck;
  DockState dock;

 private:
  Platform platform_;
  bool exitCleanupDone_ = false;
};

}  // namespace zelv
