#!/usr/bin/env bash
# Builds Trimbelle.exe and runs it under Wine.
#   With a display ($DISPLAY): runs until you exit the program.
#   Without one: runs it a few seconds on a private virtual display, saves a screenshot,
#   says where, and ends the program.
# ZELV_RUN_SECONDS (default 5) sets how long the no-display run waits before the screenshot.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/install-deps.sh" all
source "$root/scripts/wine-env.sh"
jobs="$(nproc)"
build="$ZELV_BUILD_ROOT"

# The shipped program is always the 32-bit release build.
cmake --preset win -B "$build/win" >/dev/null
cmake --build "$build/win" -j"$jobs" --target Trimbelle
exe="$build/win/src/Trimbelle.exe"
if [[ "$ZELV_WIN_BITS" == 64 ]]; then
  echo "This kernel cannot run 32-bit programs (ia32 emulation is off), so Wine cannot start"
  echo "$exe here. Running the 64-bit build of the same sources instead."
  cmake --preset "$ZELV_WIN_PRESET" -B "$build/$ZELV_WIN_PRESET" >/dev/null
  cmake --build "$build/$ZELV_WIN_PRESET" -j"$jobs" --target Trimbelle
  exe="$build/$ZELV_WIN_PRESET/src/Trimbelle.exe"
fi

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  zelv_prefix_init
  echo "Running $exe on $DISPLAY; exit it from its right-click menu or with Esc."
  rc=0
  "$ZELV_WINE_LOADER" "$exe" || rc=$?
  timeout 30 wineserver -w || true
  exit $rc
fi

zelv_env_start audio
shot="$build/screenshot.png"
"$ZELV_WINE_LOADER" "$exe" &
app=$!
ZELV_ENV_PIDS+=("$app")
sleep "${ZELV_RUN_SECONDS:-5}"
if ! kill -0 "$app" 2>/dev/null; then
  rc=0
  wait "$app" || rc=$?
  echo "Trimbelle.exe ended by itself within ${ZELV_RUN_SECONDS:-5} s (exit code $rc)."
  exit 1
fi
import -window root "$shot"
echo "Screenshot of the virtual display: $shot"
# And a close-up of the program's window with a margin of the (white) desktop around it.
if geometry="$(xwininfo -name "Zelv Monitor" 2>/dev/null)"; then
  x="$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")"
  y="$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")"
  w="$(awk '/Width:/ {print $2}' <<<"$geometry")"
  h="$(awk '/Height:/ {print $2}' <<<"$geometry")"
  m=12
  x=$((x > m ? x - m : 0))
  y=$((y > m ? y - m : 0))
  import -window root -crop "$((w + 2 * m))x$((h + 2 * m))+$x+$y" +repage "$build/screenshot-window.png" &&
    echo "Close-up of the window: $build/screenshot-window.png"
fi
# taskkill without /f sends WM_CLOSE, so the program ends through its normal exit path.
timeout 20 "$ZELV_WINE_LOADER" taskkill /im Trimbelle.exe >/dev/null 2>&1 || true
rc=0
for ((i = 0; i < 100; i++)); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app" 2>/dev/null; then
  echo "Trimbelle.exe did not end on WM_CLOSE within 10 s; stopping it." >&2
  rc=1
else
  wait "$app" || rc=$?
  echo "Trimbelle.exe ended with exit code $rc."
fi
exit $rc
