#!/usr/bin/env bash
# Builds and runs the imaging benchmarks on the linux lane (the portable back end), then, when the
# win64 lane has built them (build/win64/bin/imaging_bench.exe), the same benchmarks on the Win32
# back end under wine. Arguments go to the benchmark program, e.g. --benchmark_filter=Draw.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

cmake --preset linux >/dev/null
cmake --build --preset linux --target imaging_bench
echo "== linux: portable back end"
build/linux/bin/imaging_bench "$@"

win64_bench=build/win64/bin/imaging_bench.exe
if [[ -f $win64_bench ]]; then
  cmake --build --preset win64 --target imaging_bench
  echo
  echo "== win64: GDI and GDI+ under wine"
  WINEDEBUG=-all WINEPREFIX="$PWD/build/win64/wineprefix" wine "$win64_bench" "$@"
fi
