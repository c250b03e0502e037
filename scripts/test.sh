#!/usr/bin/env bash
# Builds and runs every test layer: formatting, host unit tests, Win32 tests under Wine
# (with and without an audio device), end-to-end tests of Trimbelle.exe under Wine.
# Every layer runs even when an earlier one fails; the exit code is non-zero if any failed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/install-deps.sh" all
source "$root/scripts/wine-env.sh"
jobs="$(nproc)"
build="$ZELV_BUILD_ROOT"

passed=()
failed=()
layer() {
  local name="$1"
  shift
  printf '\n===== %s =====\n' "$name"
  local rc=0
  "$@" || rc=$?
  if ((rc == 0)); then passed+=("$name"); else failed+=("$name (exit $rc)"); fi
}

format_check() {
  local files=()
  mapfile -d '' files < <(find src tests tools bench -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.c' \) -print0 | sort -z)
  ((${#files[@]} == 0)) && return 0
  clang-format --dry-run --Werror "${files[@]}" && echo "clang-format: ${#files[@]} files clean"
}

host_tests() {
  cmake --preset host -B "$build/host" >/dev/null &&
    cmake --build "$build/host" -j"$jobs" &&
    ctest --test-dir "$build/host" --output-on-failure -j"$jobs" --timeout 300
}

wintest_dir="$build/$ZELV_WINTEST_PRESET"
wintest_built=0
win_build() {
  if [[ "$ZELV_WIN_BITS" == 64 ]]; then
    echo "This kernel cannot run 32-bit programs: the Windows tests are built 64-bit."
  fi
  cmake --preset "$ZELV_WINTEST_PRESET" -B "$wintest_dir" >/dev/null &&
    cmake --build "$wintest_dir" -j"$jobs" && wintest_built=1
}

win32_tests() {
  local exe="$wintest_dir/tests/win32/win32_tests.exe" rc=0
  zelv_audio_on
  echo "--- with the null audio sink"
  zelv_run_exe 600 "$exe" --gtest_filter='-*NoAudio*' || rc=$?
  zelv_audio_off
  echo "--- without any audio server"
  zelv_run_exe 600 "$exe" --gtest_filter='*NoAudio*' || rc=$((rc ? rc : $?))
  zelv_audio_on
  return $rc
}

e2e_tests() {
  local rc=0
  export ZELV_TRIMBELLE="$(zelv_windows_path "$wintest_dir/src/Trimbelle.exe")"
  export ZELV_TEST_TASKBAR="$(zelv_windows_path "$wintest_dir/tests/e2e/test_taskbar.exe")"
  export ZELV_TEST_BROWSER="$(zelv_windows_path "$wintest_dir/tests/e2e/test_browser.exe")"
  export ZELV_PUBLISH="$(zelv_windows_path "$wintest_dir/tools/publisher/zelv_publish.exe")"
  zelv_audio_on
  zelv_run_exe 900 "$wintest_dir/tests/e2e/e2e_tests.exe" || rc=$?
  return $rc
}

layer "format" format_check
layer "host unit tests" host_tests
layer "Windows test build" win_build
if ((wintest_built)); then
  if zelv_env_start audio && zelv_start_web_server; then
    layer "Win32 tests under Wine" win32_tests
    layer "end-to-end tests under Wine" e2e_tests
  else
    failed+=("Wine environment")
  fi
fi
zelv_env_stop

printf '\n===== summary =====\n'
for l in "${passed[@]}"; do echo "PASSED  $l"; done
for l in "${failed[@]}"; do echo "FAILED  $l"; done
echo "layers: ${#passed[@]} passed, ${#failed[@]} failed"
((${#failed[@]} == 0))
