#!/usr/bin/env bash
# Runs a command with a persistent wine server for a Windows lane's prefix (build/<lane>/wineprefix),
# creating the prefix first when it is missing: a 64-bit prefix for win64, a 32-bit one for win32.
# Without a persistent server every Windows program leaves wine's helper processes holding its
# output pipe, and CTest waits seconds per test for them. Wine's desktop takes its X display when
# it starts, so the lane's virtual display (the one the window tests use) is started before the
# server and stays up until the command is done.
# Usage: scripts/with-wine.sh [win64|win32] COMMAND...   (win64 when no lane is named)
#   A COMMAND that starts with the word `wine` runs with the lane's own loader (the 64-bit one for
#   win64), so `with-wine.sh win64 wine PROGRAM.exe` works wherever 32-bit wine is installed too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/wine-fonts.sh
. "$root/scripts/lib/wine-fonts.sh"
lane=win64
case "${1:-}" in
  win64|win32) lane=$1; shift ;;
esac
build="$root/build/$lane"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
if [[ $lane == win32 ]]; then export WINEARCH=win32; else export WINEARCH=win64; fi
mkdir -p "$WINEPREFIX"
# The 64-bit lane uses the 64-bit loader directly: Debian's `wine` launcher prefers the 32-bit one
# when wine32 is installed, which some kernels cannot run.
loader=wine
if [[ $lane == win64 ]]; then loader=$(command -v wine64 || true); fi
[[ -n "$loader" || ! -x /usr/lib/wine/wine64 ]] || loader=/usr/lib/wine/wine64
[[ -n "$loader" ]] || loader=wine

display_script="$root/tests/window/xvfb.sh"
if command -v Xvfb >/dev/null; then
  bash "$display_script" start "$build" wine
  DISPLAY=$(bash "$display_script" display "$build")
  export DISPLAY
fi

vf_wine_fonts_config "$build"
wineserver -w || true
wineserver -p </dev/null >/dev/null 2>&1
"$loader" wineboot -i </dev/null >/dev/null 2>&1
vf_wine_fonts_prefix "$loader"
[[ "${1:-}" != wine ]] || set -- "$loader" "${@:2}"
status=0
"$@" || status=$?
wineserver -k >/dev/null 2>&1 || true
bash "$display_script" stop "$build" wine
exit "$status"
