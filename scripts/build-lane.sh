#!/usr/bin/env bash
# Configures and builds one lane (a CMake preset), preparing what it needs first: the cross-built
# libraries for the Windows lanes and a wine prefix for the lane whose tests run under wine.
# Usage: scripts/build-lane.sh LANE
set -euo pipefail
lane=$1
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/ensure-packages.sh "$lane"
case "$lane" in
  win32) bash scripts/deps/build-mingw-deps.sh i686 "$root/build/deps/i686" ;;
  win64) bash scripts/deps/build-mingw-deps.sh x86_64 "$root/build/deps/x86_64" --with-benchmark ;;
esac

cmake --preset "$lane" >/dev/null
cmake --build --preset "$lane"

if [[ "$lane" == win64 ]]; then
  # A fresh prefix takes a few seconds to create; tests must not race its creation.
  export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all
  [[ -f "$WINEPREFIX/system.reg" ]] || { wineboot -i >/dev/null 2>&1; wineserver -w; }
fi
