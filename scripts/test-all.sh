#!/usr/bin/env bash
# Builds every lane and runs its tests: linux, linux-asan, win64 (under wine64), win32 (the
# shipping 32-bit DLL: its file checks, and the whole suite under 32-bit wine where the machine
# can run 32-bit programs). Stops at the first lane that fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

lanes=("$@")
((${#lanes[@]})) || lanes=(linux linux-asan win64 win32)
# The last line says what really ran: a lane that could run only part of its suite is named.
partial=()
for lane in "${lanes[@]}"; do
  echo "=== lane $lane ==="
  bash scripts/build-lane.sh "$lane"
  case "$lane" in
    win64) bash scripts/with-wine.sh win64 ctest --preset win64 ;;
    win32)
      if bash scripts/can-run-i386.sh; then
        bash scripts/with-wine.sh win32 ctest --preset win32
      else
        echo "NOTE: this machine cannot run 32-bit x86 programs (the kernel refuses them), so the" \
             "32-bit suite cannot run under wine here; running the file checks of the DLL only."
        ctest --preset win32
        partial+=("win32 ran its file checks only: this machine runs no 32-bit programs")
      fi
      ;;
    *) ctest --preset "$lane" ;;
  esac
done
if ((${#partial[@]})); then
  echo "=== lanes passed: ${lanes[*]}; not every suite ran whole: $(IFS=';'; echo "${partial[*]}") ==="
else
  echo "=== all lanes passed: ${lanes[*]} ==="
fi
