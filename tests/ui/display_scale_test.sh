#!/usr/bin/env bash
# The main window at 100, 125, 150, 175 and 200 % on a 1366x768 and a
# 1920x1080 screen, each a real X server with a window manager: every
# field's frame whole in a screenshot, the window inside the screen.
# Usage: display_scale_test.sh SCALE_PROBE OUTPUT_DIR
set -uo pipefail

probe=$1
out=$2
mkdir -p "$out"
command -v openbox >/dev/null || { echo "SKIP: openbox is not installed"; exit 77; }
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

failed=0
for screen in 1366x768 1920x1080; do
    Xvfb -displayfd 3 -screen 0 "${screen}x24" 3>"$work/display-$screen" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [[ -s $work/display-$screen ]] && break; sleep 0.1; done
    display=:$(cat "$work/display-$screen")
    DISPLAY=$display openbox --config-file /dev/null >/dev/null 2>&1 &
    pids+=($!)
    sleep 0.5
    for scale in 1 1.25 1.5 1.75 2; do
        if ! DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale XDG_CONFIG_HOME=$work/config \
            "$probe" "$out/main-window-$screen-$scale.png"; then
            echo "FAIL: $screen at $scale"
            failed=1
        fi
    done
done
exit $failed
