#!/usr/bin/env bash
# fanhost --capture without a sound server, through SDL's disk driver, which records from a file of
# raw samples in the device's format (32-bit float stereo at 44.1 kHz here): it says it falls back
# to the default recording device, and a loud tone in the left channel and silence in the right
# show as the levels of every second; --list-devices says there is no server; and the ways a
# capture cannot start end with exit code 2 and a line that says why.
# Usage: capture_test.sh BIN_DIR WORK_DIR
set -euo pipefail
bin=$1
work=$2
rm -rf "$work"
mkdir -p "$work"

# Five seconds of a 441 Hz sine at 0.9 of full scale on the left, nothing on the right.
perl -e 'print pack("f<f<", 0.9 * sin(2 * 3.141592653589793 * 441 * $_ / 44100), 0) for 0 .. 5 * 44100 - 1' \
  >"$work/left-only.raw"

# fanhost with no display and no sound server (a socket nobody listens on, a home of its own),
# recording from the file given first; a run that would not end is cut.
capture() {
  local input=$1
  shift
  timeout 30 env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILEIN="$input" \
    HOME="$work" XDG_RUNTIME_DIR="$work" PULSE_SERVER="unix:$work/no-server" \
    "$bin/fanhost" "$@" >"$work/run.log" 2>&1
}

# Three seconds: past the point where the oldest samples are dropped, so the later seconds show
# that the analysis still finds the latest ones.
capture "$work/left-only.raw" --capture --headless --seconds 3 || { echo "fanhost failed:"; cat "$work/run.log"; exit 1; }
grep -qx 'capture: no sound server (.*); listening to the default recording device instead' "$work/run.log" ||
  { echo "expected to be told there is no sound server:"; cat "$work/run.log"; exit 1; }
levels=$(sed -nE 's/^t=.*level L= *([0-9]+) R= *([0-9]+).*/\1 \2/p' "$work/run.log")
if [ "$(wc -l <<<"$levels")" -ne 3 ]; then
  echo "expected three status lines:"; cat "$work/run.log"; exit 1
fi
while read -r left right; do
  if [ "$left" -lt 60 ] || [ "$right" -ne 0 ]; then
    echo "expected the left level high and the right one 0 every second:"; cat "$work/run.log"; exit 1
  fi
done <<<"$levels"

capture "$work/left-only.raw" --list-devices || { echo "--list-devices failed:"; cat "$work/run.log"; exit 1; }
grep -q '^sound server: none (' "$work/run.log" || { echo "--list-devices names a server:"; cat "$work/run.log"; exit 1; }

# Runs that must not start: the arguments, then the line that says why.
printf 'RIFF' >"$work/any.wav"
while IFS='|' read -r input args expected; do
  status=0
  # shellcheck disable=SC2086 # the arguments are split on purpose
  capture "$input" $args || status=$?
  if [ "$status" -ne 2 ] || ! grep -qF -- "$expected" "$work/run.log"; then
    echo "fanhost $args: expected exit code 2 and '$expected', got $status:"; cat "$work/run.log"; exit 1
  fi
done <<EOF_CASES
$work/left-only.raw|--capture --wav $work/any.wav|fanhost: --capture and --wav exclude each other
$work/left-only.raw|--capture --headless|fanhost: --capture off screen needs --seconds
$work/left-only.raw|--capture|fanhost: --capture off screen needs --seconds
$work/missing.raw|--capture --headless --seconds 1|fanhost: no recording device (
$work/missing.raw|--capture-device nowhere --headless --seconds 1|fanhost: no recording device (no sound server (
EOF_CASES
echo "capture: all runs as expected"
