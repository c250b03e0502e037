# Wine test environment. Source it from bash; it defines functions and starts nothing by itself.
#
#   zelv_env_start [audio|noaudio]   prefix (created once), private Xvfb, and with "audio" a
#                                    PulseAudio null sink; everything started here is stopped
#                                    by zelv_env_stop, which also runs on EXIT
#   zelv_audio_on / zelv_audio_off   switch between the null sink and "no audio server at all"
#   zelv_run_exe SECONDS EXE ARGS... run a Windows program with a time limit, return its exit code
#   zelv_env_stop                    stop exactly what zelv_env_start started, and the prefix's
#                                    wineserver
#
# Windows bitness: the shipped program is 32-bit, but some kernels (ia32 emulation disabled)
# cannot execute 32-bit programs, so 32-bit Wine cannot start. There the Windows layers are
# built and run 64-bit; ZELV_WIN_BITS, ZELV_WIN_PRESET and ZELV_WINTEST_PRESET say which.
#
# Override ZELV_BUILD_ROOT to keep a private build tree (and so a private prefix).

ZELV_ROOT="${ZELV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
ZELV_BUILD_ROOT="${ZELV_BUILD_ROOT:-$ZELV_ROOT/build}"

# A 93-byte static i386 ELF that only calls exit(0): whether it runs tells if this kernel can
# run 32-bit programs at all, before anything is installed.
zelv_can_run_32bit() {
  local probe
  probe="$(mktemp "${TMPDIR:-/tmp}/zelv-ia32.XXXXXX")" || return 1
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  local rc=0
  "$probe" 2>/dev/null || rc=1
  rm -f "$probe"
  return $rc
}

if [[ -z "${ZELV_WIN_BITS:-}" ]]; then
  if zelv_can_run_32bit; then ZELV_WIN_BITS=32; else ZELV_WIN_BITS=64; fi
fi
if [[ "$ZELV_WIN_BITS" == 32 ]]; then
  ZELV_WIN_PRESET=win
  ZELV_WINTEST_PRESET=wintest
  ZELV_WINE_LOADER=/usr/lib/wine/wine
  export WINEARCH=win32
  export WINEPREFIX="${ZELV_WINEPREFIX:-$ZELV_BUILD_ROOT/wineprefix}"
else
  ZELV_WIN_PRESET=win64
  ZELV_WINTEST_PRESET=wintest64
  ZELV_WINE_LOADER=/usr/lib/wine/wine64
  export WINEARCH=win64
  export WINEPREFIX="${ZELV_WINEPREFIX:-$ZELV_BUILD_ROOT/wineprefix64}"
fi
# Wine starts child processes (CreateProcess, start, cmd) through WINELOADER.
export WINELOADER="$ZELV_WINE_LOADER"
export WINEDEBUG=-all
# winealsa stays enabled: without any driver Wine reports a missing class instead of the
# missing endpoint (E_NOTFOUND) that a real machine without a sound card gives.
export WINEDLLOVERRIDES="mscoree,mshtml="
# LC_ALL (not LANG) is what makes Wine choose ANSI code page 936.
export LC_ALL=zh_CN.UTF-8
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
export no_proxy="127.0.0.1,localhost${no_proxy:+,$no_proxy}"
export NO_PROXY="$no_proxy"

ZELV_ENV_DIR=""
ZELV_XVFB_PID=""
ZELV_PULSE_PID=""
ZELV_ENV_PIDS=() # further helpers (web server, test taskbar) registered by other scripts

zelv_log() { printf '[wine-env] %s\n' "$*" >&2; }

zelv_wine() { "$ZELV_WINE_LOADER" "$@"; }

# The prefix is made once per build tree; the stamp records that the settings are in it too.
zelv_prefix_init() {
  local stamp="$WINEPREFIX/.zelv-ready"
  [[ -f "$stamp" ]] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  zelv_log "creating Wine prefix $WINEPREFIX ($WINEARCH)"
  # No display yet: wineboot must not open windows on the user's screen.
  DISPLAY= timeout 300 "$ZELV_WINE_LOADER" wineboot -i >/dev/null 2>&1 || {
    zelv_log "wineboot -i failed"
    return 1
  }
  timeout 120 wineserver -w || true
  local font="WenQuanYi Micro Hei"
  local reg="$WINEPREFIX/zelv-settings.reg"
  # Version 5 .reg files are UTF-16, so the Chinese font name survives whatever the code page.
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    "\"微软雅黑\"=\"$font\"" "\"Microsoft YaHei\"=\"$font\"" "\"Microsoft YaHei UI\"=\"$font\"" \
    "\"宋体\"=\"$font\"" "\"SimSun\"=\"$font\"" '' |
    iconv -f UTF-8 -t UTF-16 >"$reg"
  DISPLAY= timeout 120 "$ZELV_WINE_LOADER" regedit /S "$reg" >/dev/null 2>&1 || {
    zelv_log "importing $reg failed"
    return 1
  }
  timeout 120 wineserver -w || true
  touch "$stamp"
}

# A white desktop, so that the program's black strip stands out in screenshots.
zelv_start_xvfb() {
  local n
  for ((n = 90; n < 200; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -wr -nolisten tcp -noreset >"$ZELV_ENV_DIR/xvfb.log" 2>&1 &
    ZELV_XVFB_PID=$!
    local i
    for ((i = 0; i < 100; i++)); do
      if [[ -S /tmp/.X11-unix/X$n ]] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$ZELV_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    # Lost a race for this display number (or it never came up): try the next one.
    zelv_stop_pid "$ZELV_XVFB_PID"
    ZELV_XVFB_PID=""
  done
  zelv_log "could not start Xvfb"
  return 1
}

zelv_start_pulse() {
  local dir="$ZELV_ENV_DIR/pulse"
  mkdir -p "$dir/runtime" "$dir/state"
  printf 'autospawn = no\n' >"$dir/client.conf"
  export PULSE_CLIENTCONFIG="$dir/client.conf"
  PULSE_RUNTIME_PATH="$dir/runtime" PULSE_STATE_PATH="$dir/state" XDG_RUNTIME_DIR="$dir/runtime" \
    HOME="$dir" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --system=no --disable-shm=yes --load=module-null-sink \
    --load="module-native-protocol-unix socket=$dir/pulse.sock auth-anonymous=1" \
    >"$ZELV_ENV_DIR/pulse.log" 2>&1 &
  ZELV_PULSE_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -S "$dir/pulse.sock" ]] && {
      ZELV_PULSE_SOCKET="unix:$dir/pulse.sock"
      zelv_audio_on
      return 0
    }
    kill -0 "$ZELV_PULSE_PID" 2>/dev/null || break
    sleep 0.1
  done
  zelv_log "PulseAudio did not start; see $ZELV_ENV_DIR/pulse.log"
  return 1
}

# With a socket nobody listens on, Wine finds no audio server and reports no endpoint.
zelv_audio_off() { export PULSE_SERVER="unix:$ZELV_ENV_DIR/no-audio-server.sock"; }
zelv_audio_on() {
  if [[ -n "${ZELV_PULSE_SOCKET:-}" ]]; then export PULSE_SERVER="$ZELV_PULSE_SOCKET"; else zelv_audio_off; fi
}

zelv_env_start() {
  local audio="${1:-audio}"
  [[ -n "$ZELV_ENV_DIR" ]] && return 0
  mkdir -p "$ZELV_BUILD_ROOT"
  ZELV_ENV_DIR="$(mktemp -d "$ZELV_BUILD_ROOT/wine-env.XXXXXX")"
  trap zelv_env_stop EXIT
  trap 'exit 130' INT TERM
  zelv_audio_off
  zelv_prefix_init || return 1
  zelv_start_xvfb || return 1
  if [[ "$audio" == audio ]]; then zelv_start_pulse || return 1; fi
  # Start the prefix's wineserver and explorer now, so the first test does not pay for it.
  timeout 60 "$ZELV_WINE_LOADER" cmd /c exit 0 >/dev/null 2>&1 || true
  zelv_log "display $DISPLAY, audio: $audio, prefix $WINEPREFIX"
}

zelv_stop_pid() {
  local pid="$1" i
  [[ -n "$pid" ]] || return 0
  kill "$pid" 2>/dev/null || return 0
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  return 0
}

# Runs from the EXIT trap under set -e, so nothing in here may fail.
zelv_env_stop() {
  local pid
  for pid in "${ZELV_ENV_PIDS[@]}"; do zelv_stop_pid "$pid"; done
  ZELV_ENV_PIDS=()
  if [[ -n "$ZELV_ENV_DIR" ]]; then
    timeout 30 wineserver -k >/dev/null 2>&1 || true
  fi
  zelv_stop_pid "$ZELV_PULSE_PID"
  ZELV_PULSE_PID=""
  ZELV_PULSE_SOCKET=""
  zelv_stop_pid "$ZELV_XVFB_PID"
  ZELV_XVFB_PID=""
  if [[ -n "$ZELV_ENV_DIR" ]]; then rm -rf "$ZELV_ENV_DIR"; fi
  ZELV_ENV_DIR=""
  return 0
}

# Wine maps the Unix root to drive Z:, so no wine process is needed to convert a path.
zelv_windows_path() {
  local p
  p="$(realpath -m "$1")"
  printf 'Z:%s\n' "${p//\//\\}"
}

# The local web server of the Win32 and end-to-end tests, on 127.0.0.1: HTTP, HTTPS with a
# certificate the tests trust, and HTTPS with one nobody trusts. The ports are fixed because the
# test builds of Trimbelle.exe carry the update page and probe site addresses
# (CMakePresets.json, wintest); keep both places in step.
# Tests find it through ZELV_TEST_HTTP_PORT / ZELV_TEST_HTTPS_PORT / ZELV_TEST_UNTRUSTED_PORT,
# find the trusted certificate at ZELV_TEST_CERT and put the files it serves into
# ZELV_TEST_WWW (Windows paths).
zelv_start_web_server() {
  local dir="$ZELV_ENV_DIR/web"
  mkdir -p "$dir/www"
  python3 "$ZELV_ROOT/tests/e2e/web_server.py" --root "$dir/www" --state-dir "$dir" \
    --http-port "${ZELV_TEST_HTTP_PORT:-47080}" --https-port "${ZELV_TEST_HTTPS_PORT:-47443}" \
    --untrusted-port "${ZELV_TEST_UNTRUSTED_PORT:-47444}" >"$dir/server.log" 2>&1 &
  local pid=$!
  ZELV_ENV_PIDS+=("$pid")
  local i
  for ((i = 0; i < 400; i++)); do
    if [[ -s "$dir/ports" ]]; then
      read -r ZELV_TEST_HTTP_PORT ZELV_TEST_HTTPS_PORT ZELV_TEST_UNTRUSTED_PORT <"$dir/ports"
      export ZELV_TEST_HTTP_PORT ZELV_TEST_HTTPS_PORT ZELV_TEST_UNTRUSTED_PORT
      ZELV_TEST_WWW="$(zelv_windows_path "$dir/www")"
      ZELV_TEST_WWW_UNIX="$dir/www"
      ZELV_TEST_CERT="$(zelv_windows_path "$dir/cert.pem")"
      export ZELV_TEST_WWW ZELV_TEST_WWW_UNIX ZELV_TEST_CERT
      zelv_log "web server: http $ZELV_TEST_HTTP_PORT, https $ZELV_TEST_HTTPS_PORT," \
        "untrusted https $ZELV_TEST_UNTRUSTED_PORT on 127.0.0.1"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  zelv_log "web server did not start (are ports ${ZELV_TEST_HTTP_PORT:-47080}, ${ZELV_TEST_HTTPS_PORT:-47443} and ${ZELV_TEST_UNTRUSTED_PORT:-47444} free?):"
  cat "$dir/server.log" >&2
  return 1
}

# Returns the program's exit code; 124 when the time limit ended it.
zelv_run_exe() {
  local seconds="$1"
  shift
  local rc=0
  timeout --kill-after=10 "$seconds" "$ZELV_WINE_LOADER" "$@" || rc=$?
  ((rc == 124)) && zelv_log "timed out after ${seconds}s: $*"
  return $rc
}
