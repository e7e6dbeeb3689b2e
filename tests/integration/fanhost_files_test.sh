#!/usr/bin/env bash
# fanhost's files: a snapshot and a recording that can be written are, and exit code 0; one that
# cannot be written is said on standard error and ends the run with exit code 1.
# Usage: fanhost_files_test.sh BIN_DIR WORK_DIR
set -euo pipefail
bin=$1
work=$2
rm -rf "$work"
mkdir -p "$work"

run() {
  local status=0
  env -u DISPLAY -u WAYLAND_DISPLAY "$bin/fanhost" --headless --seconds 0.5 "$@" >"$work/run.log" 2>&1 || status=$?
  echo "$status"
}

status=$(run --snapshot "$work/last.png" --record "$work/run.png")
if [ "$status" -ne 0 ] || [ ! -s "$work/last.png" ] || [ ! -s "$work/run.png" ]; then
  echo "expected both files written and exit code 0, got $status:"; cat "$work/run.log"; exit 1
fi

while IFS='|' read -r args expected; do
  # shellcheck disable=SC2086 # the arguments are split on purpose
  status=$(run $args)
  if [ "$status" -ne 1 ] || ! grep -qF -- "$expected" "$work/run.log"; then
    echo "fanhost $args: expected exit code 1 and '$expected', got $status:"; cat "$work/run.log"; exit 1
  fi
done <<EOF_CASES
--snapshot $work/missing/last.png|fanhost: cannot write $work/missing/last.png
--record $work/missing/run.png|fanhost: cannot write $work/missing/run.png
EOF_CASES
echo "files: all runs as expected"
