#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Usage: scripts/install-deps.sh [host|win|all]   (default: all)
set -euo pipefail
what="${1:-all}"

host_pkgs=(cmake g++ make ninja-build googletest libgtest-dev libbenchmark-dev libboost1.81-dev python3 clang-format)
win_pkgs=(g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 wine xvfb xauth
          pulseaudio imagemagick fonts-wqy-microhei locales openssl x11-utils procps)
# 32-bit Wine needs a kernel that runs 32-bit programs; where it cannot, the Windows tests
# are built and run 64-bit (see wine-env.sh), which needs no i386 packages at all.
# In a subshell: wine-env.sh sets LC_ALL to a locale that may not exist yet, which apt minds.
win_bits="$(bash -c 'source "$1/wine-env.sh" && echo "$ZELV_WIN_BITS"' _ "$(dirname "${BASH_SOURCE[0]}")")"
if [[ "$win_bits" == 32 ]]; then
  win_pkgs+=(wine32:i386 libgnutls30:i386)
else
  win_pkgs+=(wine64 libgnutls30 g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64)
fi

case "$what" in
  host) want=("${host_pkgs[@]}") ;;
  win) want=("${win_pkgs[@]}") ;;
  all) want=("${host_pkgs[@]}" "${win_pkgs[@]}") ;;
  *) echo "usage: $0 [host|win|all]" >&2; exit 2 ;;
esac

need_i386=0
for p in "${want[@]}"; do [[ "$p" == *:i386 ]] && need_i386=1; done

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

locale_missing=0
if [[ "$what" != host ]] && ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  locale_missing=1
fi

if [[ ${#missing[@]} -eq 0 && $locale_missing -eq 0 ]]; then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root first:  sudo $0 $what" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  if [[ $need_i386 -eq 1 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [[ "$what" != host ]] && ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
