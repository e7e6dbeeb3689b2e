#!/usr/bin/env bash
# Packs the Windows ZIP from a built tree and checks it the way a user meets it: the four files, the
# DLL where a current player keeps its plug-ins, the checksums, the install text for the archive's
# bits and both generations of players, and the DLL in it: stripped, the same file checks as the
# built module, and its version resource.
# Usage: check-zip.sh BUILD_TREE OUTPUT_DIR VERSION PACKAGE_NAME BITS WINDRES OBJDUMP NM FORMAT STDCALL OBJECT...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$1 out=$2 version=$3 name=$4 bits=$5 windres=$6 objdump=$7 nm=$8 format=$9 stdcall=${10}
shift 10
objects=("$@")
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cpack -G ZIP --config "$tree/CPackConfig.cmake" -B "$out" >"$out/cpack.log" || { cat "$out/cpack.log"; fail "cpack failed"; }
zip="$out/$name.zip"
[[ -f "$zip" ]] || fail "no $name.zip in $out"
(cd "$out" && sha256sum --quiet -c "$name.zip.sha256") || fail "$name.zip.sha256 does not match"
echo "ok: $name.zip and its checksum"

unpacked="$out/unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
actual=$(cd "$unpacked" && find . -type f | sort)
module=Plugins/VindeluxFan/VindeluxFan.dll
expected=$(printf './%s/%s\n' "$name" INSTALL.txt "$name" LICENSE.txt "$name" SHA256SUMS.txt "$name" "$module" | sort)
[[ "$actual" == "$expected" ]] || fail "the archive holds"$'\n'"$actual"$'\n'"instead of"$'\n'"$expected"
folder="$unpacked/$name"
grep -q "MIT License" "$folder/LICENSE.txt" || fail "LICENSE.txt is not the licence"
for said in "$bits-bit player" 'Plugins\VindeluxFan\VindeluxFan.dll' 'PlugIns\VindeluxFan.dll' "Vindelux Fan.ini" \
  "VindeluxFan-$version-win64.zip"; do
  grep -qF "$said" "$folder/INSTALL.txt" || fail "INSTALL.txt does not say \"$said\""
done
(cd "$folder" && tr -d '\r' <SHA256SUMS.txt | sha256sum --quiet -c) || fail "SHA256SUMS.txt does not match the DLL"
echo "ok: the four files, the DLL in $module; its checksum matches"

dll="$folder/$module"
! "$objdump" -h "$dll" | grep -q '\.debug_' || fail "the DLL carries debug sections"
[[ -z "$("$nm" "$dll" 2>/dev/null)" ]] || fail "the DLL carries a symbol table"
echo "ok: the DLL is stripped"
bash "$here/../module_file/check-pe.sh" "$objdump" "$nm" "$dll" "$format" "$stdcall" "${objects[@]}"
bash "$here/check-version-resource.sh" "$windres" "$dll" "$version"
