#!/usr/bin/env bash
# A player in a folder of its own finds the plug-in's settings in "PlugIns/Vindelux Fan.ini" beside
# its executable. Driven through the whole lifecycle by the substitute host: a run without a file
# leaves the defaults there; a stored choice is read at Initialize and written back at Deinitialize
# with every other line of the file kept; a stored fan skin that does not exist runs without a scene
# and stays what the user had.
# Usage: settings_lifecycle_test.sh BIN_DIR WORK_DIR
set -euo pipefail
bin=$1
work=$2
rm -rf "$work"
mkdir -p "$work/PlugIns"
cp "$bin/fanhost" "$bin/VindeluxFan.so" "$bin/libvindelux-platform.so" "$work/"
ini="$work/PlugIns/Vindelux Fan.ini"

run() {
  if ! env -u DISPLAY -u WAYLAND_DISPLAY "$work/fanhost" --headless --seconds 0.3 >"$work/run.log" 2>&1; then
    echo "fanhost failed:"; cat "$work/run.log"; exit 1
  fi
}
expect_line() {
  if ! tr -d '\r' <"$ini" | grep -qxF -- "$1"; then
    echo "expected the line '$1' in the settings file, which holds:"; cat "$ini"; exit 1
  fi
}

run
expect_line "[Options]"
expect_line "Fan=0"
expect_line "Background=0"
expect_line "Speed=10"

printf '[Other]\r\nKey=1\r\n\r\n[Options]\r\n; chosen by hand\r\nSpeed = 20\r\nfan=2\r\nBackground=5\r\n' >"$ini"
cp "$ini" "$work/stored.ini"
run
cmp -s "$ini" "$work/stored.ini" || { echo "writing back what was read changed the file:"; cat "$ini"; exit 1; }

# A key the file lacks takes its default, and the save adds it; every other line stays.
printf '[Other]\r\nKey=1\r\n\r\n[Options]\r\n; chosen by hand\r\nfan=2\r\nBackground=5\r\n' >"$ini"
run
expect_line "[Other]"
expect_line "Key=1"
expect_line "; chosen by hand"
expect_line "fan=2"
expect_line "Background=5"
expect_line "Speed=10"

printf '[Options]\nFan=7\nBackground=1\nSpeed=12\n' >"$ini"
run
expect_line "Fan=7"
expect_line "Background=1"
expect_line "Speed=12"
echo "settings lifecycle: all runs as expected"
