#!/usr/bin/env bash
# Builds every lane and runs its tests: linux, linux-asan, win64 (under wine64), win32 (the
# shipping 32-bit DLL, its file checks and the whole suite under 32-bit wine). Stops at the first
# lane that fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

lanes=("$@")
((${#lanes[@]})) || lanes=(linux linux-asan win64 win32)
for lane in "${lanes[@]}"; do
  echo "=== lane $lane ==="
  bash scripts/build-lane.sh "$lane"
  if [[ "$lane" == win64 || "$lane" == win32 ]]; then
    bash scripts/with-wine.sh "$lane" ctest --preset "$lane"
  else
    ctest --preset "$lane"
  fi
done
echo "=== all lanes passed: ${lanes[*]} ==="
