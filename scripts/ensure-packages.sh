#!/usr/bin/env bash
# Installs the Debian packages a lane needs, only those that are missing.
# Usage: scripts/ensure-packages.sh LANE...   (LANE: linux, linux-asan, win64, win32, tools, fuzz)
set -euo pipefail

common=(g++ cmake ninja-build pkg-config libpng-dev zlib1g-dev googletest)
linux=(libbenchmark-dev libpixman-1-dev)
windows=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
         binutils-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev)
wine=(wine wine64)
# clang with libFuzzer and the sanitizer runtimes, for scripts/fuzz.sh
fuzz=(clang libclang-rt-14-dev)

wanted=("${common[@]}")
for lane in "$@"; do
  case "$lane" in
    linux|linux-asan) wanted+=("${linux[@]}") ;;
    win32) wanted+=("${windows[@]}") ;;
    win64) wanted+=("${windows[@]}" "${wine[@]}") ;;
    tools) ;;
    fuzz) wanted+=("${fuzz[@]}") ;;
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
