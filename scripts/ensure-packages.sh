#!/usr/bin/env bash
# Installs the Debian packages a lane needs, only those that are missing.
# Usage: scripts/ensure-packages.sh LANE...   (LANE: linux, linux-asan, win64, win32, tools)
set -euo pipefail

common=(g++ cmake ninja-build pkg-config libpng-dev zlib1g-dev googletest)
linux=(libbenchmark-dev libpixman-1-dev libsdl2-dev)
# A virtual X display for the tests of real windows, and real input for them (XTEST).
display=(xvfb xauth x11-utils)
display_linux=(libx11-dev libxtst-dev)
windows=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
         binutils-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev)
wine=(wine wine64)

wanted=("${common[@]}")
for lane in "$@"; do
  case "$lane" in
    linux|linux-asan) wanted+=("${linux[@]}" "${display[@]}" "${display_linux[@]}") ;;
    win32) wanted+=("${windows[@]}") ;;
    win64) wanted+=("${windows[@]}" "${wine[@]}" "${display[@]}") ;;
    tools) ;;
    *) echo "unknown lane: $lane" >&2; exit 2 ;;
  esac
done

missing=()
for pkg in $(printf '%s\n' "${wanted[@]}" | sort -u); do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
