#!/usr/bin/env bash
# Packs the Windows ZIP from a built tree and checks it the way a user meets it: the four files, the
# checksums, and the DLL in it: stripped, the same file checks as the built module, and its version
# resource.
# Usage: check-zip.sh BUILD_TREE OUTPUT_DIR VERSION PACKAGE_NAME WINDRES OBJDUMP NM FORMAT STDCALL OBJECT...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$1 out=$2 version=$3 name=$4 windres=$5 objdump=$6 nm=$7 format=$8 stdcall=$9
shift 9
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
expected=$(printf './%s/%s\n' "$name" INSTALL.txt "$name" LICENSE.txt "$name" SHA256SUMS.txt "$name" VindeluxFan.dll | sort)
[[ "$actual" == "$expected" ]] || fail "the archive holds"$'\n'"$actual"$'\n'"instead of"$'\n'"$expected"
folder="$unpacked/$name"
grep -q "MIT License" "$folder/LICENSE.txt" || fail "LICENSE.txt is not the licence"
grep -q "VindeluxFan.dll" "$folder/INSTALL.txt" && grep -q "Vindelux Fan.ini" "$folder/INSTALL.txt" ||
  fail "INSTALL.txt does not say how to install"
(cd "$folder" && tr -d '\r' <SHA256SUMS.txt | sha256sum --quiet -c) || fail "SHA256SUMS.txt does not match the DLL"
echo "ok: the four files; the DLL's checksum matches"

dll="$folder/VindeluxFan.dll"
! "$objdump" -h "$dll" | grep -q '\.debug_' || fail "the DLL carries debug sections"
[[ -z "$("$nm" "$dll" 2>/dev/null)" ]] || fail "the DLL carries a symbol table"
echo "ok: the DLL is stripped"
bash "$here/../module_file/check-pe.sh" "$objdump" "$nm" "$dll" "$format" "$stdcall" "${objects[@]}"
bash "$here/check-version-resource.sh" "$windres" "$dll" "$version"
