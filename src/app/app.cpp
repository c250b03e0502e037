#include "app/app.h"

#include "audio/endpoint_volume.h"
#include "audio/volume_display.h"
#include "net/update_check.h"

namespace zelv {
App::App(const Platform& platform) : platform_(platform) {}
App::~App() = default;
void App::OnMainWindowCreated() {}
void App::OnLeftButtonDown(Widget) {}
void App::OnRightButtonDown(Widget) {}
void App::OnMouseMove(Widget) {}
void App::OnTimer() {}
void App::ShowContextMenu() {}
void App::OnMenu(MenuCommand) {}
void App::ExitCleanup() { exitCleanupDone_ = true; }
}  // namespace zelv
