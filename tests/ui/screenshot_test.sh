#!/usr/bin/env bash
# Starts the real workstation on a private X server next to a virtual modem,
# opens the status window and the question before an update, takes
# screenshots of the three and checks the main window's caption and size as
# the desktop sees them.
# Usage: screenshot_test.sh WORKSTATION VIRTUAL_MODEM OUTPUT_DIR
set -euo pipefail

workstation=$1
virtual_modem=$2
out=$3
mkdir -p "$out"
work=$(mktemp -d)
pids=()

cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# What the screen showed and the programs said, to see why.
fail() {
    echo "FAIL: $*" >&2
    import -window root "$out/failure.png" 2>/dev/null || true
    cat "$work/workstation.out" >&2 2>/dev/null || true
    exit 1
}

# Waits up to 20 s (a busy machine starts a program slowly) for a window
# whose name matches $1; prints its id.
wait_window() {
    local until=$((SECONDS + 20))
    while ((SECONDS < until)); do
        if id=$(xdotool search --name "$1" 2>/dev/null | head -n1) && [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# The port list shows virtual ports as links in /dev; without the right to
# make one there is nothing to pick.
link=/dev/ttyNKQSHOT$$
if ! touch /dev/.nkq-probe-$$ 2>/dev/null; then
    echo "SKIP: /dev is not writable, the virtual modem cannot appear in the port list"
    exit 77
fi
rm -f /dev/.nkq-probe-$$

Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 300); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

"$virtual_modem" --link "$link" >"$work/modem.out" &
pids+=($!)
for _ in $(seq 300); do [[ -L $link ]] && break; sleep 0.1; done
[[ -L $link ]] || fail "the virtual modem made no link"

export XDG_CONFIG_HOME=$work/config
export QT_QPA_PLATFORM=xcb
"$workstation" >"$work/workstation.out" 2>&1 &
workstation_pid=$!
pids+=($workstation_pid)

caption="Рабочее место настройки и поверки модемов Morvasta NKQ"
main=$(wait_window "$caption") || fail "the main window did not appear"
sleep 1
name=$(xdotool getwindowname "$main")
[[ $name == "$caption" ]] || fail "caption is '$name'"
geometry=$(xdotool getwindowgeometry "$main")
grep -q "Geometry: 755x481" <<<"$geometry" || fail "geometry is $geometry"
import -window "$main" "$out/main-window.png"

# Pick the modem's port by typing its whole name into the opened list (the
# whole name tells this run's modem from another run's) and Enter, then
# server mode and "Статус сервера". The list searches only what is typed
# within 400 ms, and on a busy machine the keys can come further apart: the
# window is held while they are queued, so that it takes them all at once.
kill -STOP "$workstation_pid"
xdotool mousemove --window "$main" 669 95 click 1
xdotool type --delay 0 "${link#/dev/}"
xdotool key Return
kill -CONT "$workstation_pid"
sleep 0.3
xdotool mousemove --window "$main" 306 188 click 1
sleep 0.3
import -window "$main" "$out/main-window-server-mode.png"
xdotool mousemove --window "$main" 669 276 click 1

status=$(wait_window "Текущие подключения") || fail "the status window did not appear"
status_geometry=$(xdotool getwindowgeometry "$status")
grep -q "Geometry: 313x222" <<<"$status_geometry" || fail "status window geometry is $status_geometry"
import -window "$status" "$out/status-window-opened.png"
sleep 10  # the first poll comes after 5 s and takes at least 3 s
import -window "$status" "$out/status-window-polled.png"
xdotool key Escape
sleep 0.5

# A file name, then "Обновить ПО": the question comes first; Esc answers no.
xdotool mousemove --window "$main" 300 416 click 1
xdotool type --delay 20 "/nonexistent/image.mfw"
xdotool mousemove --window "$main" 636 416 click 1
question=$(wait_window "Вопрос") || fail "the question before an update did not appear"
sleep 0.5
import -window "$question" "$out/question-box.png"
xdotool key Escape

for shot in main-window main-window-server-mode status-window-opened status-window-polled question-box; do
    colours=$(convert "$out/$shot.png" -format %k info:)
    ((colours > 8)) || fail "$shot.png holds only $colours colours"
done
echo "screenshots in $out"
