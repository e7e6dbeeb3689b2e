#!/usr/bin/env bash
# A player installed where its user may not write keeps the plug-in's settings in the user's own
# file. The substitute host, copied into a read-only folder whose read-only "PlugIns/Vindelux
# Fan.ini" holds a choice, reads that file, saves to $XDG_CONFIG_HOME/vindelux-fan/Vindelux Fan.ini
# (making the folders) and says so once on standard error, with no write error. A later choice in
# the user's file is read at the next start, being the newer file, and kept; the file beside the
# host stays as it was.
# Usage: settings_user_file_test.sh BIN_DIR WORK_DIR
set -euo pipefail
bin=$1
work=$2
[[ ! -e "$work" ]] || chmod -R u+w "$work"
rm -rf "$work"
mkdir -p "$work/player/PlugIns"
trap 'chmod -R u+w "$work"' EXIT
cp "$bin/fanhost" "$bin/VindeluxFan.so" "$bin/libvindelux-platform.so" "$work/player/"
beside="$work/player/PlugIns/Vindelux Fan.ini"
printf '[Options]\r\nFan=1\r\nBackground=3\r\nSpeed=15\r\n' >"$beside"
touch -d '1 hour ago' "$beside"
cp "$beside" "$work/beside.ini"
chmod a-w "$beside" "$work/player/PlugIns" "$work/player"
export XDG_CONFIG_HOME="$work/config"
user="$XDG_CONFIG_HOME/vindelux-fan/Vindelux Fan.ini"

run() {
  if ! env -u DISPLAY -u WAYLAND_DISPLAY "$work/player/fanhost" --headless --seconds 0.3 >"$work/run.log" 2>&1; then
    echo "fanhost failed:"; cat "$work/run.log"; exit 1
  fi
}
expect_line() {
  if ! tr -d '\r' <"$user" | grep -qxF -- "$1"; then
    echo "expected the line '$1' in the user's settings file, which holds:"; cat "$user"; exit 1
  fi
}

run
expect_line "Fan=1"
expect_line "Background=3"
expect_line "Speed=15"
if grep -qF "Unable to write" "$work/run.log"; then
  echo "a save the user's file took was reported as a write error:"; cat "$work/run.log"; exit 1
fi
if [[ $(grep -cF "the settings are kept in $user" "$work/run.log") != 1 ]]; then
  echo "expected one line saying where the settings went:"; cat "$work/run.log"; exit 1
fi

# The user's next choice, in their own file.
printf '[Options]\nFan=2\nBackground=5\nSpeed=25\n; mine\n' >"$user"
run
expect_line "Fan=2"
expect_line "Background=5"
expect_line "Speed=25"
expect_line "; mine"
cmp -s "$beside" "$work/beside.ini" || { echo "the file beside the host changed:"; cat "$beside"; exit 1; }
echo "settings in the user's file: all runs as expected"
