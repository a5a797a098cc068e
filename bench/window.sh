#!/usr/bin/env bash
# The window's start-up figures under Xvfb: time from the program's start to
# its first painted frame, and its peak memory (resident set). Median of five
# runs. Usage: bench/window.sh PATH-TO-nkq-workstation
set -euo pipefail
program=$1
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1

times=() memories=()
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    out=$(DISPLAY=$display NKQ_STARTUP_PROBE=1 /usr/bin/time -f "peak_kib %M" "$program" 2>&1 >/dev/null)
    painted=$(sed -n 's/^first_paint_realtime_ns //p' <<< "$out")
    peak=$(sed -n 's/^peak_kib //p' <<< "$out")
    times+=($(( (painted - start) / 1000000 )))
    memories+=($(( peak / 1024 )))
done
median() { printf '%s\n' "$@" | sort -n | sed -n 3p; }
echo "window_first_painted_frame_ms $(median "${times[@]}")"
echo "window_peak_memory_mib $(median "${memories[@]}")"
