#!/usr/bin/env bash
# A virtual X display for the tests of real windows, one per build tree, so lanes and checkouts
# that test at the same time keep to their own screens.
# Usage: xvfb.sh display BUILD_DIR         prints the display name of that build tree (":N")
#        xvfb.sh start BUILD_DIR [OWNER]   starts its Xvfb unless it runs already
#        xvfb.sh stop BUILD_DIR [OWNER]    stops the Xvfb that start of the same OWNER started
# OWNER (default "ctest") keeps CTest's fixture from stopping a display that scripts/with-wine.sh
# started for wine's desktop.
set -euo pipefail
command=$1
build_dir=$(cd "$2" && pwd -P)
state="$build_dir/xvfb"
owner=${3:-ctest}
pid_file="$state/xvfb.$owner.pid"

number=$(( $(printf '%s' "$build_dir" | cksum | cut -d' ' -f1) % 800 + 100 ))
display=":$number"

running() { xdpyinfo -display "$display" >/dev/null 2>&1; }

case "$command" in
  display)
    echo "$display"
    ;;
  start)
    mkdir -p "$state"
    if running; then exit 0; fi
    # A lock left by a display that died would stop Xvfb from starting.
    if [[ -f /tmp/.X$number-lock ]] && ! kill -0 "$(tr -d ' ' </tmp/.X$number-lock)" 2>/dev/null; then
      rm -f "/tmp/.X$number-lock" "/tmp/.X11-unix/X$number"
    fi
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset -wr >"$state/xvfb.log" 2>&1 &
    echo $! >"$pid_file"
    for _ in $(seq 100); do
      if running; then exit 0; fi
      sleep 0.1
    done
    echo "Xvfb did not start on $display; see $state/xvfb.log" >&2
    exit 1
    ;;
  stop)
    if [[ -f "$pid_file" ]]; then
      kill "$(cat "$pid_file")" 2>/dev/null || true
      rm -f "$pid_file"
    fi
    ;;
  *)
    echo "unknown command: $command" >&2
    exit 2
    ;;
esac
