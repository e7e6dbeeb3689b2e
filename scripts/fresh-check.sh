#!/usr/bin/env bash
# The pristine-machine check: makes a fresh minimal Debian 12 root under the build tree, copies a
# clean clone of the committed project into it, and runs the README's two commands inside it, as a
# new user of a fresh machine would: once as root, and once as an ordinary user who may use sudo
# (each in a root of its own, so the second also installs everything itself). Prints each
# command's result and time, and exits non-zero when any command failed.
# Run it before a release and after any change to the scripts or the packages they install. It
# needs root (chroot and mounts), takes about an hour on two cores, and is not part of the test
# command.
# Usage: scripts/fresh-check.sh [root|user]...   (default: both)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# shellcheck source=scripts/lib/privileged.sh
. scripts/lib/privileged.sh

passes=("$@")
((${#passes[@]})) || passes=(root user)
for pass in "${passes[@]}"; do
  [[ $pass == root || $pass == user ]] || { echo "unknown pass: $pass (root or user)" >&2; exit 2; }
done
[[ $(id -u) -eq 0 ]] || { echo "fresh-check: run it as root (it makes a chroot)" >&2; exit 2; }

if ! command -v mmdebstrap >/dev/null; then
  apt_update_with_retries
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap >/dev/null
fi

work="$root/build/fresh-check"
mkdir -p "$work"
results="$work/results.txt"
: >"$results"

# What a committed checkout holds, nothing of this working tree's state.
commit=$(git rev-parse HEAD)

mounted=()
unmount_all() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  mounted=()
}
trap unmount_all EXIT

# Removes a root only once nothing is mounted under it, and never beyond its own file system.
remove_root() {
  local dir=$1
  [[ -d $dir ]] || return 0
  if findmnt -rn -o TARGET | grep -q "^$dir/"; then
    echo "fresh-check: something is still mounted under $dir; not removing it" >&2
    return 1
  fi
  rm -rf --one-file-system "$dir"
}

sources=/etc/apt/sources.list.d/debian.sources
[[ -f $sources ]] || sources=/etc/apt/sources.list

failed=0
for pass in "${passes[@]}"; do
  dir="$work/root-$pass"
  remove_root "$dir"
  echo "=== fresh-check ($pass): making a pristine Debian 12 root"
  start=$SECONDS
  mmdebstrap --quiet --variant=minbase bookworm "$dir" "$sources" >"$work/mmdebstrap-$pass.log" 2>&1
  echo "    made in $((SECONDS - start)) s"

  for target in proc dev dev/pts tmp; do mkdir -p "$dir/$target"; done
  mount -t proc proc "$dir/proc" && mounted+=("$dir/proc")
  mount --bind /dev "$dir/dev" && mounted+=("$dir/dev")
  mount --bind /dev/pts "$dir/dev/pts" && mounted+=("$dir/dev/pts")
  mount -t tmpfs tmpfs "$dir/tmp" && mounted+=("$dir/tmp")
  cp /etc/resolv.conf "$dir/etc/resolv.conf" 2>/dev/null || true

  if [[ $pass == user ]]; then
    # The machine of a user who may use sudo: the user and sudo are the machine's, not the project's.
    chroot "$dir" bash -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq sudo >/dev/null &&
      useradd -m -s /bin/bash fan && echo "fan ALL=(ALL) NOPASSWD:ALL" >/etc/sudoers.d/fan' \
      >"$work/setup-$pass.log" 2>&1
    home=/home/fan
    run=(chroot "$dir" sudo -u fan -H env -i HOME=/home/fan PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 bash -lc)
  else
    home=/root
    run=(chroot "$dir" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 bash -lc)
  fi
  git clone --quiet --no-local "$root" "$dir$home/vindelux-fan"
  git -C "$dir$home/vindelux-fan" checkout --quiet "$commit"
  [[ $pass == root ]] || chroot "$dir" chown -R fan:fan "$home/vindelux-fan"

  for command in "bash scripts/run-main.sh" "bash scripts/test-all.sh"; do
    name=${command##*/}
    log="$work/$pass-${name%.sh}.log"
    echo "=== fresh-check ($pass): $command (log: ${log#"$root"/})"
    start=$SECONDS
    status=0
    "${run[@]}" "cd ~/vindelux-fan && $command" </dev/null >"$log" 2>&1 || status=$?
    took=$((SECONDS - start))
    line="$pass: $command: $([[ $status -eq 0 ]] && echo passed || echo "FAILED (exit $status)") in $((took / 60)) m $((took % 60)) s"
    echo "    $line"
    echo "    last line: $(tail -n 1 "$log")"
    echo "$line" >>"$results"
    ((status == 0)) || failed=1
  done
  unmount_all
done

echo "=== fresh-check results (commit ${commit:0:12})"
cat "$results"
exit "$failed"
