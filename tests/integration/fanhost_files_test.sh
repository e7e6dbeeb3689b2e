#!/usr/bin/env bash
# fanhost's files and failures: a snapshot and a recording that can be written are, and exit code 0;
# one that cannot be written is said on standard error and ends the run with exit code 1, as does
# running out of memory; a length of the run that is no number of seconds is bad input (code 2).
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
while IFS='|' read -r args expected; do
  # shellcheck disable=SC2086 # the arguments are split on purpose
  status=$(run $args)
  if [ "$status" -ne 2 ] || ! grep -qF -- "$expected" "$work/run.log"; then
    echo "fanhost $args: expected exit code 2 and '$expected', got $status:"; cat "$work/run.log"; exit 1
  fi
done <<EOF_CASES
--seconds inf|fanhost: bad value for --seconds: inf
--seconds nan|fanhost: bad value for --seconds: nan
--seconds 1e300|fanhost: bad value for --seconds: 1e300
EOF_CASES

# A picture too large for the memory the run may have. AddressSanitizer reserves more address
# space than the limit allows, so an instrumented build cannot be run this way. (The libraries are
# read whole first: grep -q ending early would break ldd's pipe and, with pipefail, the test.)
libraries=$(ldd "$bin/fanhost" 2>&1 || true)
if [[ $libraries != *libasan* ]]; then
  status=0
  (ulimit -v 600000; exec env -u DISPLAY -u WAYLAND_DISPLAY "$bin/fanhost" --headless --seconds 0.1 \
    --size 16384x16384) >"$work/run.log" 2>&1 || status=$?
  if [ "$status" -ne 1 ] || ! grep -qF "fanhost: out of memory" "$work/run.log"; then
    echo "a picture too large: expected exit code 1 and 'fanhost: out of memory', got $status:"
    cat "$work/run.log"; exit 1
  fi
fi
echo "files: all runs as expected"
