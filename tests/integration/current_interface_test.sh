#!/usr/bin/env bash
# The substitute host as a current player: fanhost --interface current finds the module's plug-in
# header, initialises it with its core, drives the visualisation it registers and finalises it,
# leaving no reference to its core behind. The settings live in the player's profile folder
# ("Profile" beside fanhost unless --profile names one): a choice stored there is read at the next
# start and kept, and nothing is written beside the host.
# Usage: current_interface_test.sh BIN_DIR WORK_DIR
set -euo pipefail
bin=$1
work=$2
rm -rf "$work"
mkdir -p "$work/player"
cp "$bin/fanhost" "$bin/VindeluxFan.so" "$bin/libvindelux-platform.so" "$work/player/"
export XDG_CONFIG_HOME="$work/config"

run() {
  if ! env -u DISPLAY -u WAYLAND_DISPLAY "$work/player/fanhost" --interface current --headless --seconds 1 "$@" \
    >"$work/run.log" 2>&1; then
    echo "fanhost failed:"; cat "$work/run.log"; exit 1
  fi
}
expect_said() {
  if ! grep -qxF -- "$1" "$work/run.log"; then
    echo "expected fanhost to say '$1'; it said:"; cat "$work/run.log"; exit 1
  fi
}

run --snapshot "$work/defaults.png"
expect_said "plug-in: Vindelux Fan, Spinning fans that turn faster as the music gets louder, by The Vindelux Fan developers, categories 4"
expect_said "profile: $work/player/Profile"
expect_said "visualisation: Vindelux Fan"
expect_said "Finalize -> 0"
if grep -q "still holds" "$work/run.log"; then cat "$work/run.log"; exit 1; fi
grep -q "^t=  1.0s  level L=" "$work/run.log" || { echo "no frames were drawn:"; cat "$work/run.log"; exit 1; }
stored="$work/player/Profile/Vindelux Fan.ini"
[[ -f "$stored" ]] || { echo "no settings in the default profile folder"; ls -R "$work"; exit 1; }
[[ ! -e "$work/player/PlugIns" && ! -e "$XDG_CONFIG_HOME" ]] || { echo "settings went elsewhere:"; ls -R "$work"; exit 1; }

# A choice in a profile folder of the player's choosing is read and kept.
mkdir -p "$work/profile"
choice=$'[Options]\nFan=1\nBackground=4\nSpeed=20\n; mine\n'
printf '%s' "$choice" >"$work/profile/Vindelux Fan.ini"
run --profile "$work/profile/" --snapshot "$work/chosen.png"
expect_said "profile: $work/profile/"
[[ "$(cat "$work/profile/Vindelux Fan.ini"; echo .)" == "$choice." ]] ||
  { echo "the stored choice changed:"; cat "$work/profile/Vindelux Fan.ini"; exit 1; }
if cmp -s "$work/defaults.png" "$work/chosen.png"; then
  echo "the stored choice was not read: the picture is the defaults' one"; exit 1
fi
echo "ok: the current interface, its visualisation and its profile folder"
