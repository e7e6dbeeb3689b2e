#!/usr/bin/env bash
# The main job: builds what it needs of the linux lane (the module, its platform library and the
# substitute host, nothing else) and runs the substitute host on the built-in default track: in a
# window with sound where there is a display, off screen otherwise, writing the last frame and (off
# screen) an animated PNG of the whole run beside the build.
# Extra arguments go to fanhost (for example --seconds 5, or --headless).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/ensure-packages.sh linux
cmake --preset linux >/dev/null
cmake --build --preset linux --target VindeluxFan fanhost
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  echo "run-main: a display is here: playing in a window"
  exec build/linux/bin/fanhost --snapshot build/linux/fanhost-last-frame.png "$@"
fi
echo "run-main: no display: playing off screen"
exec build/linux/bin/fanhost --headless --snapshot build/linux/fanhost-last-frame.png \
  --record build/linux/fanhost-recording.png "$@"
