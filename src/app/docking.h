#pragma once
#include <cstdint>

#include "platform/types.h"

namespace zelv {
class App;
class IShellWindows;

// A window's place on the screen, as the docking arithmetic uses it.
struct WindowBox {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const WindowBox&, const WindowBox&) = default;
};

inline constexpr int kDockedWidth = 180;
inline constexpr int kDockedHeight = 40;
inline constexpr int kDockedTop = 3;
inline constexpr int kRefreshPeriodMs = 1000;

// All zero when the window's rectangle cannot be read (a zero handle, a window gone).
[[nodiscard]] WindowBox WindowBoxOf(IShellWindows& shell, WindowHandle window);

// Re-parents the main window into the taskbar's rebar and starts the refresh timer.
void DockIntoTaskbar(App& app);
// The refresh timer's handler: keeps the meter at the rebar's right end.
void RefreshTaskbarPosition(App& app);
// At exit: gives the task-switch area its full width back when the meter was docked.
void RestoreTaskbarOnExit(App& app);
}  // namespace zelv
