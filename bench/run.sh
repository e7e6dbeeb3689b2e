#!/usr/bin/env bash
# Runs the benchmarks of the linux lane (portable back end) and then the same programs of the win64
# lane (GDI and GDI+ under wine) back to back, and of the win32 lane where 32-bit programs run, and
# prints the ratios: each program's own table of
# ours against its reference, then the portable back end against the Windows one.
scene]...   (default: both); set BENCH_ARGS for extra arguments.|scene]...   (default: both); set BENCH_ARGS for extra arguments.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
programs=("$@")
((${#programs[@]})) || programs=(imaging scene steady)
out=build/bench-results
mkdir -p "$out"

bash scripts/ensure-packages.sh bench
bash scripts/build-lane.sh linux >/dev/null
bash scripts/build-lane.sh win64 >/dev/null
# The 32-bit build runs where the machine runs 32-bit programs (some virtual machines refuse them).
win32=0
if bash scripts/can-run-i386.sh; then
  bash scripts/build-lane.sh win32 >/dev/null
  win32=1
fi
for program in "${programs[@]}"; do
  echo "== ${program}: linux, portable back end"
  "build/linux/bin/${program}_bench" --benchmark_out="$out/${program}-linux.json" ${BENCH_ARGS:-}
  echo
  echo "== ${program}: win64, GDI and GDI+ under wine"
  bash scripts/with-wine.sh win64 wine "build/win64/bin/${program}_bench.exe" \
    --benchmark_out="$out/${program}-win64.json" ${BENCH_ARGS:-}
  echo
  if ((win32)); then
    echo "== ${program}: win32 (the shipping build), GDI and GDI+ under 32-bit wine"
    bash scripts/with-wine.sh win32 wine "build/win32/bin/${program}_bench.exe" \
      --benchmark_out="$out/${program}-win32.json" ${BENCH_ARGS:-}
    echo
  fi
done

python3 - "$out" "${programs[@]}" <<'PY'
import json, sys, os
out, programs = sys.argv[1], sys.argv[2:]
def times(path):
    if not os.path.exists(path): return {}
    runs = json.load(open(path))["benchmarks"]
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    return {r["name"]: r["real_time"] * scale[r["time_unit"]] for r in runs if r.get("run_type") == "iteration"}
print("== portable back end against the Windows one under wine (same benchmark, same machine)")
print(f"{'benchmark':44} {'linux (ms)':>12} {'win64 (ms)':>12} {'faster':>8}")
targets = {"BM_Draw119To320_Ours": ">= 6x"}
for program in programs:
    linux, win = times(f"{out}/{program}-linux.json"), times(f"{out}/{program}-win64.json")
    for name, seconds in linux.items():
        if name in win and ("Memcpy" not in name and "CopyFloor" not in name and "Pixman" not in name and "PlainLibpng" not in name):
            print(f"{name:44} {seconds*1e3:12.3f} {win[name]*1e3:12.3f} {win[name]/seconds:7.1f}x {targets.get(name, '')}")
PY
