#!/usr/bin/env bash
# Runs a command with a persistent wine server for a Windows lane's prefix (build/<lane>/wineprefix),
# creating the prefix first when it is missing: a 64-bit prefix for win64, a 32-bit one for win32.
# Without a persistent server every Windows program leaves wine's helper processes holding its
# output pipe, and CTest waits seconds per test for them.
# Usage: scripts/with-wine.sh [win64|win32] COMMAND...   (win64 when no lane is named)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lane=win64
case "${1:-}" in
  win64|win32) lane=$1; shift ;;
esac
export WINEPREFIX="$root/build/$lane/wineprefix" WINEDEBUG=-all
if [[ $lane == win32 ]]; then export WINEARCH=win32; else export WINEARCH=win64; fi
mkdir -p "$WINEPREFIX"
wineserver -w || true
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
status=0
"$@" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit "$status"
