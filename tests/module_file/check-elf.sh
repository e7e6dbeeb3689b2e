#!/usr/bin/env bash
# Checks the built Linux module file the way a player meets it: a shared object whose only
# exported symbols are the two exports, one for each generation of the player's interface.
# Usage: check-elf.sh MODULE
set -euo pipefail
module=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

exports=$(nm -D --defined-only "$module" | awk '{print $NF}' | LC_ALL=C sort | paste -sd' ')
[[ "$exports" == "AIMPPluginGetHeader AIMP_QueryVisual" ]] ||
  fail "exports are not exactly AIMPPluginGetHeader and AIMP_QueryVisual: [$exports]"
echo "ok: two exports, $exports"
