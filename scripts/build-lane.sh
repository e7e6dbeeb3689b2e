#!/usr/bin/env bash
# Configures and builds one lane (a CMake preset), preparing what it needs first: the cross-built
# libraries for the Windows lanes.
# Usage: scripts/build-lane.sh LANE
set -euo pipefail
lane=$1
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/ensure-packages.sh "$lane"
case "$lane" in
  win32) bash scripts/deps/build-mingw-deps.sh i686 "$root/build/deps/i686" --with-benchmark ;;
  win64) bash scripts/deps/build-mingw-deps.sh x86_64 "$root/build/deps/x86_64" --with-benchmark ;;
esac

cmake --preset "$lane" >/dev/null
cmake --build --preset "$lane"

