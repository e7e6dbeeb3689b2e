#!/usr/bin/env bash
# Checks the built Linux module file the way a player meets it: a shared object whose only
# exported symbol is AIMP_QueryVisual.
# Usage: check-elf.sh MODULE
set -euo pipefail
module=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

exports=$(nm -D --defined-only "$module" | awk '{print $NF}')
[[ "$exports" == "AIMP_QueryVisual" ]] || fail "exports are not exactly AIMP_QueryVisual: [$exports]"
echo "ok: one export, AIMP_QueryVisual"
