#!/usr/bin/env bash
# Reads the version resource back from a built DLL and checks it against the project's version, and
# that the identity string the host shows ("Version X") carries the same version.
# Usage: check-version-resource.sh WINDRES DLL VERSION
set -euo pipefail
windres=$1 dll=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

resources=$("$windres" -i "$dll" -O rc)
info=$(awk '/^[0-9A-Z_]+ VERSIONINFO/{on=1} on{print} on && /^END/{exit}' <<<"$resources")
[[ -n "$info" ]] || fail "$dll has no version resource"
value() { sed -n "s/^ *VALUE \"$1\", \"\(.*\)\"\r\?$/\1/p" <<<"$info"; }

[[ "$(value ProductName)" == "Vindelux Fan" ]] || fail "ProductName is '$(value ProductName)'"
[[ -n "$(value FileDescription)" ]] || fail "no FileDescription"
for key in FileVersion ProductVersion; do
  [[ "$(value $key)" == "$version" ]] || fail "$key is '$(value $key)', not $version"
done
IFS=. read -r major minor patch tweak <<<"$version"
numbers="${major}, ${minor:-0}, ${patch:-0}, ${tweak:-0}"
for key in FILEVERSION PRODUCTVERSION; do
  grep -qE "^ *$key $numbers\r?$" <<<"$info" || fail "$key is not $numbers: $(grep " $key " <<<"$info")"
done
echo "ok: version resource of $version: $(value ProductName), $(value FileDescription)"

# The identity is a NUL-terminated UTF-16 constant in the module's data.
hex() { od -An -tx1 -v | tr -d ' \n'; }
identity=$(printf 'Version %s\0' "$version" | iconv -f UTF-8 -t UTF-16LE | hex)
# Read whole first: a grep -q that stops early would break the pipe, which pipefail reports.
dump=$(hex <"$dll")
[[ $dump == *"$identity"* ]] || fail "the identity string \"Version $version\" is not in $dll"
echo "ok: identity string \"Version $version\""
