#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# into build/fuzz/, then runs each one for a bounded time on a working copy of its committed seed
# corpus (tests/fuzz/corpus/<target>/), which the run may grow without touching the source tree.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]     (default 60 s, every target)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
shift || true

bash scripts/ensure-packages.sh fuzz

out=build/fuzz
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -fno-omit-frame-pointer -Wall -Wextra -Werror -I"$root" -I"$root/platform" -I"$root/platform/include" -I"$root/tools")

# target name, then its sources
declare -A sources=(
  [ini_text_fuzz]="tests/fuzz/ini_text_fuzz.cpp platform/portable/ini_file.cpp"
  [settings_number_fuzz]="tests/fuzz/settings_number_fuzz.cpp host/settings_number.cpp"
  [wav_reader_fuzz]="tests/fuzz/wav_reader_fuzz.cpp tools/fanhost/wav_reader.cpp"
)
targets=("$@")
((${#targets[@]})) || targets=(ini_text_fuzz settings_number_fuzz wav_reader_fuzz)

for target in "${targets[@]}"; do
  [[ -n ${sources[$target]:-} ]] || { echo "unknown fuzz target: $target" >&2; exit 2; }
  # shellcheck disable=SC2086 # the source list is split on purpose
  clang++ "${flags[@]}" ${sources[$target]} -o "$out/$target"
done

status=0
for target in "${targets[@]}"; do
  corpus=$out/corpus/$target
  mkdir -p "$corpus"
  cp -n tests/fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  echo "== $target: ${seconds} s"
  # A single input that runs longer than 5 s counts as a hang.
  if ! "$out/$target" -max_total_time="$seconds" -timeout=5 -print_final_stats=1 \
       -artifact_prefix="$out/$target-" "$corpus" 2>"$out/$target.log"; then
    status=1
    tail -n 30 "$out/$target.log"
  fi
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$out/$target.log" || true
  echo "corpus: $(find "$corpus" -type f | wc -l) inputs"
done
exit "$status"
