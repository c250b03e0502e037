#!/usr/bin/env bash
# What the idle program costs: runs Trimbelle.exe under Wine (null audio sink, no taskbar) for
# N seconds and prints the CPU it used (% of one core) and how its private memory grew.
#   bench/idle_cost.sh [SECONDS] [EXE]     defaults: 60, the Windows test build's Trimbelle.exe
# The first few seconds (start-up) are left out: sampling starts after ZELV_IDLE_WARMUP (5) s.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/wine-env.sh"
seconds="${1:-60}"
exe="${2:-$ZELV_BUILD_ROOT/$ZELV_WINTEST_PRESET/src/Trimbelle.exe}"
warmup="${ZELV_IDLE_WARMUP:-5}"
[[ -f "$exe" ]] || {
  echo "no $exe: build it first (cmake --preset $ZELV_WINTEST_PRESET && cmake --build build/$ZELV_WINTEST_PRESET)" >&2
  exit 1
}

zelv_env_start audio
# A private copy, so colour files written beside it stay out of the build tree.
sandbox="$ZELV_ENV_DIR/app"
mkdir -p "$sandbox"
cp "$exe" "$sandbox/Trimbelle.exe"
"$ZELV_WINE_LOADER" "$sandbox/Trimbelle.exe" &
launcher=$!
ZELV_ENV_PIDS+=("$launcher")

# The Wine process of the program: a process of ours whose command line names our sandboxed
# copy and whose environment has our prefix, so nothing of another run can be picked.
find_pid() {
  local pid
  for pid in $(pgrep -f -- "$sandbox/Trimbelle.exe" || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

pid=""
for ((i = 0; i < 100; i++)); do
  pid="$(find_pid)" && break
  sleep 0.1
done
[[ -n "$pid" ]] || {
  echo "Trimbelle.exe did not start" >&2
  exit 1
}
sleep "$warmup"

ticks="$(getconf CLK_TCK)"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }  # utime + stime
private_kb() { awk '/^Private_(Clean|Dirty):/ {sum += $2} END {print sum}' "/proc/$pid/smaps_rollup"; }

t0="$(date +%s.%N)"
c0="$(cpu_ticks)"
m0="$(private_kb)"
sleep "$seconds"
kill -0 "$pid" 2>/dev/null || {
  echo "Trimbelle.exe ended during the measurement" >&2
  exit 1
}
t1="$(date +%s.%N)"
c1="$(cpu_ticks)"
m1="$(private_kb)"

awk -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" -v hz="$ticks" -v m0="$m0" -v m1="$m1" 'BEGIN {
  wall = t1 - t0; cpu = (c1 - c0) / hz
  printf "idle for %.1f s: CPU %.2f s = %.2f %% of one core\n", wall, cpu, 100 * cpu / wall
  printf "private memory: %d KiB -> %d KiB (%+d KiB, %+.1f KiB/min)\n", m0, m1, m1 - m0, (m1 - m0) * 60 / wall
}'

timeout 20 "$ZELV_WINE_LOADER" taskkill /im Trimbelle.exe >/dev/null 2>&1 || true
