#pragma once
namespace zelv {
class App;
// Re-parents the main window into the taskbar's rebar and starts the refresh timer.
void DockIntoTaskbar(App& app);
// The refresh timer's handler: keeps the meter at the rebar's right end.
void RefreshTaskbarPosition(App& app);
// At exit: gives the task-switch area its full width back when the meter was docked.
void RestoreTaskbarOnExit(App& app);
}  // namespace zelv
