#!/usr/bin/env bash
# The main job: builds the linux lane and runs the substitute host on the built-in default track,
# writing the last frame and an animated PNG of the whole run beside the build.
# Extra arguments go to fanhost (for example --seconds 5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/build-lane.sh linux
exec build/linux/bin/fanhost --snapshot build/linux/fanhost-last-frame.png \
  --record build/linux/fanhost-recording.png "$@"
