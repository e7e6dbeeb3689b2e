#!/usr/bin/env bash
# The main job: builds what it needs of the linux lane (the module, its platform library and the
# substitute host, nothing else) and runs the substitute host on the built-in default track,
# writing the last frame and an animated PNG of the whole run beside the build.
# Extra arguments go to fanhost (for example --seconds 5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/ensure-packages.sh linux
cmake --preset linux >/dev/null
cmake --build --preset linux --target VindeluxFan fanhost
exec build/linux/bin/fanhost --snapshot build/linux/fanhost-last-frame.png \
  --record build/linux/fanhost-recording.png "$@"
