#!/usr/bin/env bash
# Fuzzes every target of the fuzz build for SECONDS each (default 30), starting
# from the committed corpus. New inputs go to build/fuzz/work/, never into the
# committed corpus. Exits non-zero when any target finds a crash; the input
# that caused it is kept in build/fuzz/artifacts/ and belongs in
# fuzz/corpus/<target>/ together with the fix.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
bin=build/fuzz/fuzz
work=build/fuzz/work
artifacts=build/fuzz/artifacts
mkdir -p "$work" "$artifacts"

failed=()
for corpus in fuzz/corpus/*/; do
  target=$(basename "$corpus")
  if [[ ! -x "$bin/$target" ]]; then
    echo "fuzz: $target is not built (cmake --build --preset fuzz)" >&2
    failed+=("$target")
    continue
  fi
  mkdir -p "$work/$target"
  echo "fuzz: $target for ${seconds}s"
  if ! "$bin/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$target-" "$work/$target" "$corpus" > "$work/$target.log" 2>&1; then
    tail -n 40 "$work/$target.log" >&2
    failed+=("$target")
  else
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units' "$work/$target.log" || true
  fi
done

if ((${#failed[@]} > 0)); then
  echo "fuzz: findings or failures in: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
echo "fuzz: every target ran ${seconds}s without a finding"
