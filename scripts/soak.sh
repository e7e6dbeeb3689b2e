#!/usr/bin/env bash
# Runs the soak program of each lane named (default: linux, linux-asan, win64, and win32 where the
# machine runs 32-bit programs) on the lane's virtual display, and stops at the first that finds
# something growing. With --limits it runs the limits program instead: the largest area the module
# builds at, and a 4K resize with the address space nearly full. Not part of the test command: it
# takes minutes per lane.
# Usage: scripts/soak.sh [--quick | --limits] [LANE]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
args=()
program=vf_soak
case "${1:-}" in
  --quick) args=(--quick); shift ;;
  --limits) program=vf_limits; shift ;;
esac
lanes=("$@")
if ((${#lanes[@]} == 0)); then
  lanes=(linux linux-asan win64)
  bash scripts/can-run-i386.sh && lanes+=(win32)
fi
for lane in "${lanes[@]}"; do
  echo "=== $program: $lane"
  bash scripts/build-lane.sh "$lane" >/dev/null
  case "$lane" in
    win64 | win32) bash scripts/with-wine.sh "$lane" wine "build/$lane/bin/$program.exe" "${args[@]}" ;;
    *)
      display=$(bash tests/window/xvfb.sh display "build/$lane")
      bash tests/window/xvfb.sh start "build/$lane" soak
      trap 'bash tests/window/xvfb.sh stop "build/$lane" soak' EXIT
      DISPLAY=$display SDL_AUDIODRIVER=dummy "build/$lane/bin/$program" "${args[@]}"
      bash tests/window/xvfb.sh stop "build/$lane" soak
      trap - EXIT
      ;;
  esac
done
if [[ $program == vf_soak ]]; then
  echo "=== soak: nothing grew on ${lanes[*]}"
else
  echo "=== limits: the host kept working on ${lanes[*]}"
fi
