#!/usr/bin/env bash
# Runs the substitute host on a module and checks that it played it through: exit status 0, the
# module's identity printed, the module unloaded at the end.
# Usage: drive-module.sh IDENTITY HOST_COMMAND...
set -euo pipefail
identity=$1
shift
log=$("$@" 2>&1) || { echo "$log"; echo "FAIL: the host exited with $?" >&2; exit 1; }
echo "$log"
grep -qF "plug-in: $identity," <<<"$log" || { echo "FAIL: no plug-in \"$identity\"" >&2; exit 1; }
[[ "$(tail -n 1 <<<"$log" | tr -d '\r')" == "module unloaded" ]] || { echo "FAIL: the module was not unloaded" >&2; exit 1; }
