#!/usr/bin/env bash
# Runs a command with a persistent wine server for the win64 lane's prefix (build/win64/wineprefix),
# creating the prefix first when it is missing. Without a persistent server every Windows program
# leaves wine's helper processes holding its output pipe, and CTest waits seconds per test for them.
# Usage: scripts/with-wine.sh COMMAND...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wineserver -w || true
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
status=0
"$@" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit "$status"
