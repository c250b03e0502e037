#include "app/app.h"

#include "app/context_menu.h"
#include "app/creation_sequence.h"
#include "app/docking.h"
#include "audio/endpoint_volume.h"
#include "audio/volume_display.h"
#include "net/update_check.h"
#include "platform/forms.h"
#include "settings/autostart.h"
#include "settings/colour_scheme.h"
#include "settings/restart.h"
#include "settings/secondary_windows.h"

namespace zelv {

namespace {
constexpr char kTooltipText[] = "Zelv Monitor";
constexpr int kMenuOffset = 3;
}  // namespace

App::App(const Platform& platform) : platform_(platform) {
  muteEndpoint = std::make_unique<EndpointVolume>(*platform_.audio);
  levelEndpoint = std::make_unique<EndpointVolume>(*platform_.audio);
}

App::~App() {
  // The poll thread uses the endpoints and the forms; it must end before they go.
  if (poller) (void)poller->Stop();
}

void App::OnMainWindowCreated() { RunCreationSequence(*this); }

void App::OnLeftButtonDown(Widget widget) {
  switch (widget) {
    case Widget::Track:
      OnTrackLeftPress(*this);
      break;
    case Widget::Fill:
      OnFillLeftPress(*this);
      break;
    case Widget::MuteLabel:
      OnMuteLabelLeftPress(*this);
      break;
    default:
      break;
  }
}

void App::OnRightButtonDown(Widget widget) {
  switch (widget) {
    case Widget::MainWindow:
    case Widget::MuteLabel:
    case Widget::LevelLabel:
    case Widget::Fill:
      ShowContextMenu();
      break;
    default:
      // The empty part of the track has no menu.
      break;
  }
}

void App::OnMouseMove(Widget widget) {
  if (widget == Widget::LevelLabel) platform_.forms->RegisterTooltip(Widget::InfoLabel, kTooltipText);
}

void App::OnTimer() { RefreshTaskbarPosition(*this); }

void App::ShowContextMenu() {
  IForms& forms = *platform_.forms;
  const std::vector<PopupItem> items = ContextMenuItems(forms.MenuCheck(MenuCommand::Autostart));
  Point at = forms.CursorPos();
  at.x += kMenuOffset;
  at.y += kMenuOffset;
  if (const std::optional<MenuCommand> chosen = MenuCommandFromId(forms.TrackPopup(items, at)))
    OnMenu(*chosen);
}

void App::OnMenu(MenuCommand item) {
  switch (item) {
    case MenuCommand::TrackColour:
      OnMenuTrackColour(*this);
      break;
    case MenuCommand::BarColour:
      OnMenuBarColour(*this);
      break;
    case MenuCommand::RestoreColours:
      OnMenuRestoreColours(*this);
      break;
    case MenuCommand::UpdateAbout:
      OpenAboutWindow(*this);
      break;
    case MenuCommand::Support:
      OpenSponsorWindow(*this);
      break;
    case MenuCommand::Autostart:
      OnMenuAutostart(*this);
      break;
    case MenuCommand::Restart:
      RestartProgram(*this);
      break;
    case MenuCommand::Exit:
      platform_.forms->EndProgram(0);
      break;
  }
}

void App::ExitCleanup() {
  if (exitCleanupDone_) return;
  exitCleanupDone_ = true;

  // No poll may reach an endpoint once it is destroyed, so the thread ends first. If a pass
  // is stuck inside a device call past the bound, the endpoints are left to the process's
  // end instead of being pulled from under it.
  bool pollEnded = true;
  if (poller) pollEnded = poller->Stop();

  RestoreTaskbarOnExit(*this);

  // Cancels a check in flight before the texts it writes are freed.
  updateCheck.reset();
  updateTexts.encodedVersion.reset();
  updateTexts.encodedDownloadAddress.reset();
  updateTexts.encodedUpdateNotes.reset();
  updateTexts.latestVersion.reset();
  updateTexts.downloadAddress.reset();
  updateTexts.updateNotes.reset();

  if (pollEnded && muteEndpoint) {
    muteEndpoint->Destroy();
    muteEndpoint.reset();
  }
  barColourText.reset();
  trackColourText.reset();
  if (pollEnded && levelEndpoint) {
    levelEndpoint->Destroy();
    levelEndpoint.reset();
  }
  if (!pollEnded) {
    // Deliberately leaked: the stuck thread still holds pointers to them.
    (void)poller.release();
    (void)muteEndpoint.release();
    (void)levelEndpoint.release();
  }
}

}  // namespace zelv
