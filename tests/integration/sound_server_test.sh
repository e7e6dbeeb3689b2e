#!/usr/bin/env bash
# fanhost --capture hears what the machine plays and follows the default output: against a
# PulseAudio daemon of the test's own (a private home and runtime folder, no autospawn, stopped at
# the end) with two null outputs, a tone on the left played into "vf_left" and a tone on the right
# into "vf_right". Listening while vf_left is the default, the status lines show the left level
# high and the right one near zero; once vf_right becomes the default, fanhost says it follows and
# they show the other way round; when vf_right goes away (headphones unplugged), it follows the
# server back to vf_left. --list-devices marks the monitor it would use, --capture-device
# picks a source itself, and a source the server does not have ends the run with exit code 2.
# Usage: sound_server_test.sh BIN_DIR WORK_DIR
set -euo pipefail
bin=$1
work=$2
rm -rf "$work"
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
fail() { echo "FAIL: $*" >&2; for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done >&2; exit 1; }

# Nothing of a sound server the machine may run, nor of its user's settings.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime"
export PULSE_RUNTIME_PATH="$work/runtime/pulse" PULSE_STATE_PATH="$work/home/state"
export PULSE_SERVER="unix:$work/runtime/pulse/native" PULSE_CLIENTCONFIG="$work/client.conf"
printf 'autospawn = no\n' >"$PULSE_CLIENTCONFIG"
unset DISPLAY WAYLAND_DISPLAY SDL_AUDIODRIVER PULSE_SINK PULSE_SOURCE

pids=()
stop_all() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap stop_all EXIT

# No default script, so only what the test loads: the socket, then the two outputs. The idle
# timeout ends a daemon that outlives the test.
pulseaudio -n --daemonize=no --use-pid-file=no --system=no --exit-idle-time=60 \
  --realtime=no --high-priority=no --disable-shm=yes --log-target=stderr \
  --load="module-native-protocol-unix auth-anonymous=1 socket=$work/runtime/pulse/native" \
  >"$work/pulseaudio.log" 2>&1 &
pids+=($!)

# Waits up to a minute for a condition (a command), which a loaded machine may take long to meet.
wait_for() {
  local what=$1
  shift
  local deadline=$((SECONDS + 60))
  until "$@"; do
    ((SECONDS < deadline)) || fail "timed out waiting for $what"
    sleep 0.2
  done
}
wait_for "the sound server" pactl info >/dev/null 2>&1

declare -A module tone
for side in left right; do
  module[$side]=$(pactl load-module module-null-sink sink_name="vf_$side" format=float32le rate=44100 \
    channels=2 sink_properties=device.description="Test-$side") || fail "no null sink vf_$side"
done

# An endless 441 Hz sine at 0.9 of full scale on one side and silence on the other, played into
# that side's output at the output's own pace.
play() {
  local side=$1
  perl -e '
    my $left = $ARGV[0] eq "left";
    my $second = "";
    for my $i (0 .. 44100 - 1) {
      my $tone = 0.9 * sin(2 * 3.141592653589793 * 441 * $i / 44100);
      $second .= pack("f<f<", $left ? ($tone, 0) : (0, $tone));
    }
    $| = 1;
    print $second while 1;' "$side" |
    pacat --playback --raw --device="vf_$side" --format=float32le --rate=44100 --channels=2 \
      --client-name="tone $side" 2>>"$work/pacat.log" &
  tone[$side]=$!
  pids+=($!)
}
# When the default output changes, the server moves the streams that follow the default: those
# their clients routed, unless a user moved them to an output other than the default, as a
# desktop's mixer does. Moved away and back while the other output is the default, each tone stays
# on its own output, as a player's stream would on the speakers when headphones become the default.
inputs() { pactl list short sink-inputs | cut -f1 | sort; }
for side in left right; do
  before=$(inputs)
  play "$side"
  new_input() { comm -13 <(echo "$before") <(inputs); }
  has_new_input() { [[ -n "$(new_input)" ]]; }
  wait_for "the $side tone to play" has_new_input
  input=$(new_input)
  other=$([[ $side == left ]] && echo right || echo left)
  { pactl set-default-sink "vf_$other" && pactl move-sink-input "$input" "vf_$other" &&
    pactl move-sink-input "$input" "vf_$side"; } || fail "cannot pin the $side tone to vf_$side"
done
pactl set-default-sink vf_left
# A microphone as the default source, as on most desktops: what the machine plays is not what the
# default recording device hears, and the server does not move a recording from a monitor by itself.
pactl load-module module-null-source source_name=vf_mic >/dev/null || fail "no null source vf_mic"
pactl set-default-source vf_mic

# The levels of the status lines after the first line matching a pattern, one "L R" pair a line.
levels_after() {
  sed -n "\\|$2|,\$p" "$1" | sed -nE 's/^t=.*level L= *([0-9]+) R= *([0-9]+).*/\1 \2/p'
}
# True once a status line after the pattern, from the first-th on, shows the loud side high; that
# line must show the other side near zero. Earlier lines may hold the second in which the stream
# started or moved.
loud_line_after() {
  local log=$1 pattern=$2 first=$3 loud=$4 left right
  while read -r left right; do
    if [[ $loud == left ]] && ((left >= 60)); then
      ((right <= 2)) || fail "after '$pattern' expected right near 0 when left is high, got L=$left R=$right"
      return 0
    elif [[ $loud == right ]] && ((right >= 60)); then
      ((left <= 2)) || fail "after '$pattern' expected left near 0 when right is high, got L=$left R=$right"
      return 0
    fi
  done < <(levels_after "$log" "$pattern" | tail -n +"$first")
  return 1
}

listing=$("$bin/fanhost" --list-devices) || fail "--list-devices failed"
echo "$listing"
grep -qE '^sound server: pulseaudio ' <<<"$listing" || fail "--list-devices names no server"
grep -qx '\* vf_left.monitor .*\[monitor\]' <<<"$listing" || fail "--list-devices does not mark vf_left.monitor"
grep -qx '  vf_right.monitor .*\[monitor\]' <<<"$listing" || fail "--list-devices does not list vf_right.monitor"
grep -qx '  vf_mic .*[^]]' <<<"$listing" || fail "--list-devices does not list the microphone vf_mic"

# Follows the default output: long enough for every step on a slow machine, stopped once seen.
follow="$work/follow.log"
"$bin/fanhost" --capture --headless --seconds 300 >"$follow" 2>&1 &
fanhost=$!
pids+=("$fanhost")
wait_for "fanhost to hear the left output" loud_line_after "$follow" '^capture: .*vf_left.monitor' 1 left
pactl set-default-sink vf_right
wait_for "fanhost to follow the new default output" \
  grep -q '^capture: following the output vf_right: listening to vf_right.monitor$' "$follow"
# The first line after the move may have heard both outputs.
wait_for "fanhost to hear the right output" loud_line_after "$follow" '^capture: following the output vf_right' 2 right
# Unplugged: the server makes vf_left the default again and moves the recording off the monitor
# that went away; fanhost goes back to vf_left's. The right tone stops first, or the server would
# move it onto vf_left too.
kill "${tone[right]}"
pactl unload-module "${module[right]}"
wait_for "fanhost to follow the output back" \
  grep -q '^capture: following the output vf_left: listening to vf_left.monitor$' "$follow"
wait_for "fanhost to hear the left output again" loud_line_after "$follow" '^capture: following the output vf_left' 2 left
kill "$fanhost"
cat "$follow"

# A source by name, not the default output's monitor, heard through a whole run that ends by
# itself, long enough for the stream to start on a slow machine: a silent output is the default now.
pactl load-module module-null-sink sink_name=vf_quiet >/dev/null || fail "no null sink vf_quiet"
pactl set-default-sink vf_quiet
named="$work/named.log"
timeout 120 "$bin/fanhost" --capture-device vf_left.monitor --headless --seconds 10 >"$named" 2>&1 ||
  fail "fanhost --capture-device vf_left.monitor failed"
grep -qx 'capture: pulseaudio [^:]*: vf_left.monitor' "$named" || fail "fanhost did not say it listens to vf_left.monitor"
loud_line_after "$named" '^capture:' 1 left || fail "--capture-device vf_left.monitor: the left tone was never heard"
grep -q '^module unloaded$' "$named" || fail "the named run did not end cleanly"

status=0
timeout 120 "$bin/fanhost" --capture-device vf_nowhere --headless --seconds 1 >"$work/missing.log" 2>&1 || status=$?
((status == 2)) || fail "a missing source: expected exit code 2, got $status"
grep -q '^fanhost: no recording device (.*vf_nowhere' "$work/missing.log" || fail "a missing source: no reason given"
echo "sound server: all runs as expected"
