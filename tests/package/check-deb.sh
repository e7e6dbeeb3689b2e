#!/usr/bin/env bash
# Packs the Debian package from a built tree and checks it the way a user meets it: what it holds,
# what it depends on, that its desktop entry, icon and manual page are what a desktop needs, and
# that its fanhost, installed into a scratch root, plays headless with the module it finds beside
# itself and keeps the settings in the user's own file from run to run.
# Usage: check-deb.sh BUILD_TREE OUTPUT_DIR VERSION
set -euo pipefail
tree=$1 out=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$tree/CPackConfig.cmake" -B "$out" >"$out/cpack.log" || { cat "$out/cpack.log"; fail "cpack failed"; }
debs=("$out"/vindelux-fan_"$version"_*.deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || fail "no single vindelux-fan_${version}_*.deb in $out"
deb=${debs[0]}
echo "ok: $(basename "$deb")"

# Exactly these files, owned by root: nothing of the tests or their libraries.
listing=$(dpkg-deb -c "$deb")
actual=$(awk '$1 !~ /^d/ {print $6, $7, $8}' <<<"$listing" | sed 's/ *$//' | sort)
expected=$(sort <<'LIST'
./usr/bin/fanhost -> ../lib/vindelux-fan/fanhost
./usr/lib/vindelux-fan/VindeluxFan.so
./usr/lib/vindelux-fan/fanhost
./usr/lib/vindelux-fan/libvindelux-platform.so
./usr/share/applications/vindelux-fan.desktop
./usr/share/doc/vindelux-fan/copyright
./usr/share/icons/hicolor/128x128/apps/vindelux-fan.png
./usr/share/icons/hicolor/256x256/apps/vindelux-fan.png
./usr/share/icons/hicolor/48x48/apps/vindelux-fan.png
./usr/share/man/man1/fanhost.1.gz
LIST
)
[[ "$actual" == "$expected" ]] || fail "the package holds"$'\n'"$actual"$'\n'"instead of"$'\n'"$expected"
awk '$2 != "root/root" {exit 1}' <<<"$listing" || fail "files not owned by root: $listing"
echo "ok: the ten files, owned by root"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libsdl2-2.0-0 libpng16-16 libfreetype6 libpulse0 'fonts-wine | fonts-dejavu-core'; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
[[ "$(dpkg-deb -f "$deb" Version)" == "$version" ]] || fail "version is not $version"
echo "ok: depends on $depends"

root="$out/root"
dpkg -x "$deb" "$root"
lib="$root/usr/lib/vindelux-fan"
for binary in "$lib/VindeluxFan.so" "$lib/libvindelux-platform.so" "$lib/fanhost"; do
  ! readelf -S "$binary" | grep -qE '\.(symtab|debug_info)\b' || fail "$binary is not stripped"
done
echo "ok: binaries stripped"

# The menu entry: valid, starting the installed command listening to the computer, with an icon
# of that name in every size the theme is given.
entry="$root/usr/share/applications/vindelux-fan.desktop"
# The checker ends with 0 after some of its errors, so anything it says fails.
said=$(desktop-file-validate "$entry" 2>&1) && [[ -z "$said" ]] || fail "desktop-file-validate: $said"
field() { sed -n "s/^$1=//p" "$entry"; }
[[ "$(field Name)" == "Vindelux Fan" ]] || fail "the entry's name is '$(field Name)'"
[[ ";$(field Categories)" == *";AudioVideo;"* ]] || fail "the entry is not in AudioVideo: $(field Categories)"
read -r command arguments <<<"$(field Exec)"
[[ -x "$root/usr/bin/$command" && "$arguments" == "--capture" ]] || fail "the entry starts '$(field Exec)'"
icon=$(field Icon)
for size in 48 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  [[ -f "$png" ]] || fail "no $size px icon $icon.png"
  # The PNG signature, then the header chunk's width and height, big-endian.
  hex=$(od -An -tx1 -N24 "$png" | tr -d ' \n')
  [[ "${hex:0:16}" == 89504e470d0a1a0a && $((16#${hex:32:8})) == "$size" && $((16#${hex:40:8})) == "$size" ]] ||
    fail "$png is not a $size x $size PNG"
done
echo "ok: the desktop entry starts fanhost --capture, with icon $icon at 48, 128 and 256 px"

# The manual page: compressed, for fanhost, naming the options a desktop user needs.
manual=$(zcat "$root/usr/share/man/man1/fanhost.1.gz") || fail "the manual page is not gzip"
grep -q '^\.TH FANHOST 1 .*Vindelux Fan '"$version" <<<"$manual" || fail "the manual page's title is not fanhost's of $version"
for option in capture capture\\-device list\\-devices wav seconds; do
  grep -qF -- "\\-\\-$option" <<<"$manual" || fail "the manual page does not describe --$option"
done
echo "ok: the manual page for fanhost $version"

# The command as a user types it, without a display and without help from the build tree; the
# user's configuration folder is a scratch one.
log="$out/fanhost.log"
config="$out/config"
fanhost() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u LD_LIBRARY_PATH XDG_CONFIG_HOME="$config" \
    "$root/usr/bin/fanhost" "$@" >"$log" 2>&1 || { cat "$log"; fail "fanhost failed"; }
}
fanhost --seconds 1
cat "$log"
grep -qF "module: $(cd "$lib" && pwd -P)/VindeluxFan.so" "$log" || fail "fanhost did not load the installed module"
grep -qF "plug-in: Vindelux Fan, Version $version," "$log" || fail "the module's identity is not Version $version"
echo "ok: fanhost plays headless with its own module"

# No PlugIns folder beside the installed program: the settings go to the user's file, and a choice
# stored there is read and kept by the next run.
settings="$config/vindelux-fan/Vindelux Fan.ini"
[[ -f "$settings" && ! -e "$lib/PlugIns" ]] || fail "the settings did not go to $settings"
if grep -qF "Unable to write" "$log"; then fail "a kept save was reported as a write error"; fi
printf '[Options]\nFan=1\nBackground=4\nSpeed=22\n' >"$settings"
fanhost --seconds 0.3
[[ "$(tr -d '\r' <"$settings")" == $'[Options]\nFan=1\nBackground=4\nSpeed=22' ]] ||
  fail "the stored choice was not kept: $(cat "$settings")"
echo "ok: the settings stay in the user's own file"
