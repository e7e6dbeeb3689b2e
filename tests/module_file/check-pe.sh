#!/usr/bin/env bash
# Checks the built Windows module file the way a player meets it: the machine it is built for, its
# two exports (one for each generation of the player's interface) under their plain names, and that
# it needs no DLL beyond the system's own.
# Usage: check-pe.sh OBJDUMP NM MODULE EXPECTED_FORMAT STDCALL_SYMBOL[,SYMBOL...]|- OBJECT...
set -euo pipefail
objdump=$1 nm=$2 module=$3 format=$4 stdcall_symbols=$5
shift 5
objects=("$@")
fail() { echo "FAIL: $*" >&2; exit 1; }

header=$("$objdump" -f "$module")
grep -q "file format $format" <<<"$header" || fail "$module is not $format: $header"
echo "ok: file format $format"

private=$("$objdump" -p "$module")
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^[ \t]*\[/{print $NF} on && /^$/{on=0}' <<<"$private" |
  LC_ALL=C sort | paste -sd' ')
[[ "$exports" == "AIMPPluginGetHeader AIMP_QueryVisual" ]] ||
  fail "exports are not exactly AIMPPluginGetHeader and AIMP_QueryVisual: [$exports]"
echo "ok: two exports, $exports"

# Everything the module imports must come with Windows itself.
allowed='^(KERNEL32|USER32|GDI32|gdiplus|ole32|OLEAUT32|msvcrt|ADVAPI32|SHELL32|api-ms-win-.*)\.dll$'
while read -r dll; do
  [[ "$dll" =~ $allowed ]] || fail "imports $dll, which Windows does not ship"
done < <(awk '/DLL Name:/{print $3}' <<<"$private")
echo "ok: imports only system DLLs: $(awk '/DLL Name:/{printf "%s ", $3}' <<<"$private")"

if [[ "$stdcall_symbols" != - ]]; then
  export_object=$(printf '%s\n' "${objects[@]}" | grep 'module_export') || fail "no export object given"
  IFS=, read -ra symbols <<<"$stdcall_symbols"
  defined=$("$nm" "$export_object")
  for symbol in "${symbols[@]}"; do
    grep -q " T ${symbol}\$" <<<"$defined" ||
      fail "an export is not stdcall with one 4-byte argument (no ${symbol} in $export_object)"
  done
  echo "ok: exports are stdcall ($stdcall_symbols)"
fi
