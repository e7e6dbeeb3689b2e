#!/usr/bin/env bash
# Installs the Debian packages a lane needs, only those that are missing. Works as root, or as a
# user who may use sudo.
# Usage: scripts/ensure-packages.sh LANE...
#   LANE: linux, linux-asan, win64, win32, main (what the main job needs), package (the release
#         packages), bench, fuzz, tools
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/privileged.sh
. "$here/lib/privileged.sh"

common=(g++ cmake ninja-build pkg-config libpng-dev zlib1g-dev googletest)
# The faces the options window's text is drawn in (the heavy italic is in fonts-dejavu-extra).
fonts=(fonts-wine fonts-dejavu-core fonts-dejavu-extra)
linux=(libbenchmark-dev libpixman-1-dev libsdl2-dev libx11-dev libfreetype-dev libpulse-dev "${fonts[@]}")
# A sound server of the tests' own to capture from, and the checker of the desktop entry.
sound_server=(pulseaudio pulseaudio-utils)
desktop=(desktop-file-utils)
# A virtual X display for the tests of real windows, real input for them (XTEST), and a window
# manager for the test of a person's session.
display=(xvfb xauth x11-utils openbox)
display_linux=(libx11-dev libxtst-dev)
# The Debian package: dpkg-shlibdeps finds its dependencies; CPack's generator needs `file`.
deb=(dpkg-dev file)
windows=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
         binutils-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev zip)
# The lanes' wine prefixes are given the same faces (scripts/wine-fonts.sh).
wine64=(wine wine64 "${fonts[@]}")
# 32-bit Windows programs need wine's i386 build, from the i386 architecture.
wine32=(wine wine32:i386 "${fonts[@]}")
# clang with libFuzzer and the sanitizer runtimes, for scripts/fuzz.sh
fuzz=(clang libclang-rt-14-dev)

wanted=("${common[@]}")
for lane in "$@"; do
  case "$lane" in
    linux|linux-asan)
      wanted+=("${linux[@]}" "${display[@]}" "${display_linux[@]}" "${deb[@]}" "${sound_server[@]}" "${desktop[@]}") ;;
    main) wanted+=("${linux[@]}") ;;
    package) wanted+=("${linux[@]}" "${deb[@]}" "${windows[@]}") ;;
    win64) wanted+=("${windows[@]}" "${wine64[@]}" "${display[@]}") ;;
    win32)
      wanted+=("${windows[@]}")
      # Only where 32-bit programs run: elsewhere the lane checks the DLL's file without running it.
      if bash "$here/can-run-i386.sh"; then wanted+=("${wine32[@]}" "${display[@]}"); fi
      ;;
    bench) wanted+=(python3) ;;
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
((${#missing[@]})) || exit 0

echo "installing: ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
   ! dpkg --print-foreign-architectures | grep -qx i386; then
  privileged dpkg --add-architecture i386
fi
apt_update_with_retries
DEBIAN_FRONTEND=noninteractive privileged apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
