#!/usr/bin/env bash
# Fuzzes every target of the fuzz build for SECONDS each (default 30), starting
# from the committed corpus. New inputs go to build/fuzz/work/, never into the
# committed corpus. Exits non-zero when any target finds a crash; the input
# that caused it is kept in build/fuzz/artifacts/ and belongs in
# fuzz/corpus/<target>/ together with the fix.
# As many targets run at once as the machine has cores (NKQ_FUZZ_JOBS
# chooses another number): each fuzzer is one process on one core, so each
# still gets its SECONDS of a whole core.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
jobs=${NKQ_FUZZ_JOBS:-$(nproc)}
bin=build/fuzz/fuzz
work=build/fuzz/work
artifacts=build/fuzz/artifacts
mkdir -p "$work" "$artifacts"

# fuzz TARGET CORPUS: one target's run; its status is the fuzzer's.
fuzz() {
  local target=$1 corpus=$2
  mkdir -p "$work/$target"
  "$bin/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target-" "$work/$target" "$corpus" >"$work/$target.log" 2>&1
}

failed=()
declare -A running=()  # pid -> target
# Waits for one run to end and reports it.
reap() {
  local pid status=0
  wait -n -p pid "${!running[@]}" || status=$?
  local target=${running[$pid]}
  unset "running[$pid]"
  if ((status != 0)); then
    tail -n 40 "$work/$target.log" >&2
    failed+=("$target")
  else
    echo "fuzz: $target: $(grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units' \
      "$work/$target.log" | tr '\n' ' ')"
  fi
}

for corpus in fuzz/corpus/*/; do
  target=$(basename "$corpus")
  if [[ ! -x "$bin/$target" ]]; then
    echo "fuzz: $target is not built (cmake --build --preset fuzz)" >&2
    failed+=("$target")
    continue
  fi
  while ((${#running[@]} >= jobs)); do reap; done
  echo "fuzz: $target for ${seconds}s"
  fuzz "$target" "$corpus" &
  running[$!]=$target
done
while ((${#running[@]} > 0)); do reap; done

if ((${#failed[@]} > 0)); then
  echo "fuzz: findings or failures in: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
echo "fuzz: every target ran ${seconds}s without a finding"
