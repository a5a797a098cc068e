#!/usr/bin/env bash
# The window's start-up figures under Xvfb: time from the program's start to
# its first painted frame, and its peak memory (resident set, from
# /usr/bin/time -v). Median of five starts, each from two current folders:
# an empty one and one of 20,000 files, since what the window builds at
# start must not grow with the folder it is started from.
# Usage: bench/window.sh PATH-TO-nkq-workstation
set -euo pipefail
program=$(realpath "$1")
[[ -x $program ]] || { echo "no program at $1" >&2; exit 1; }
work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir "$work/empty" "$work/files" "$work/config"
(cd "$work/files" && seq -f "image-%05g.mfw" 1 20000 | xargs touch)
sleep 1

# One start from folder $1: sets ms (to the first frame) and kib (peak).
start_once() {
    local start out painted peak
    start=$(date +%s%N)
    out=$(cd "$1" && DISPLAY=$display XDG_CONFIG_HOME=$work/config NKQ_STARTUP_PROBE=1 \
        /usr/bin/time -v "$program" 2>&1 >/dev/null)
    painted=$(sed -n 's/^first_paint_realtime_ns //p' <<< "$out")
    peak=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' <<< "$out")
    [[ -n $painted && -n $peak ]] || { echo "no figures from a start in $1: $out" >&2; exit 1; }
    ms=$(( (painted - start) / 1000000 ))
    kib=$peak
}

median() { printf '%s\n' "$@" | sort -n | sed -n 3p; }

for folder in empty files; do
    times=() memories=()
    for _ in 1 2 3 4 5; do
        start_once "$work/$folder"
        times+=("$ms")
        memories+=("$kib")
    done
    name=$([[ $folder == empty ]] && echo empty_folder || echo 20000_files)
    echo "window_first_painted_frame_ms_$name $(median "${times[@]}")"
    echo "window_peak_memory_mib_$name $(awk "BEGIN { printf \"%.1f\", $(median "${memories[@]}") / 1024 }")"
done
