# A section of .ci/windows.sh (sourced there): the window end to end.
# nkq-workstation.exe runs on the private display against a virtual modem
# on COM1, driven with xdotool: its frame as the desktop sees it, a read
# ("Считать параметры") and a firmware update, each checked in the modem's
# trace and, for the read, in the model text read back from the window; the
# firmware file name kept as FileName directly under HKCU\Software\Orvenik
# and read from there at the next start; the journal in the user's local
# application data. Screenshots stay in $work/window-*.png.

step "the window: a desktop program, no console"
# The subsystem in the program's header decides whether Windows opens a
# console with it: 2 is the desktop, 3 the console.
x86_64-w64-mingw32-objdump -p "$workstation" >"$work/window-header.txt"
grep -Eq '^Subsystem[[:space:]]+0+2[[:space:]]' "$work/window-header.txt" ||
    fail "nkq-workstation.exe is not a desktop program: $(grep '^Subsystem' "$work/window-header.txt")"

caption="Рабочее место настройки и поверки модемов Morvasta NKQ"
# The application title: the caption of the program's messages.
title="Рабочее место настройки и проверки модемов Morvasta NKQ"
orvenik='HKCU\Software\Orvenik'
wine reg delete "$orvenik" /f >/dev/null 2>&1 </dev/null || true
journal=$(windows_folder LOCALAPPDATA)/nkq/journal.sqlite3
rm -f "$journal"

# launch NAME: the program, started in the run folder with its output in
# NAME.out and NAME.err; sets window_pid.
launch() {
    (cd "$work" && exec wine "$workstation" >"$work/$1.out" 2>"$work/$1.err" </dev/null) &
    window_pid=$!
    pids+=("$window_pid")
}
# Sets main, the main window once it is there.
find_main() {
    main=$(wait_window "$caption")
    # The first paint may come a moment after the window is mapped.
    sleep 1
}
# A click at a place of the main window, in its own pixels.
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; }
# press WINDOW KEY: the key pressed in that window, brought to the front.
press() { xdotool windowactivate --sync "$1" key --clearmodifiers "$2"; }
# The whole screen: the window with whatever message is up over it.
shot() { import -window root "$work/window-$1.png"; }
# close_window: Alt+F4, as the operator closes it; the program ends with 0.
close_window() {
    press "$main" alt+F4
    local status=0
    wait "$window_pid" || status=$?
    ((status == 0)) || fail "the window ended with status $status: $(cat "$work"/window-*.err)"
}
# model_text NAME: the text of the model line read back from the window's
# picture (the line above the groups, cut out, enlarged and read by
# tesseract); the picture stays in window-NAME-model.png.
model_text() {
    import -window "$main" -crop 675x18+70+16 +repage -colorspace Gray -resize 400% \
        "$work/window-$1-model.png"
    tesseract "$work/window-$1-model.png" - --psm 7 2>/dev/null | tr -s ' \n' ' ' | sed 's/ $//'
}

step "the window: a read from the modem on COM1"
start_modem COM1
launch window-read
find_main
shot start
# What the desktop is told: 755 x 481 inside the frame, and the window may be
# moved, minimised and closed, but neither resized nor maximised (the Motif
# functions 0x2c).
xdotool getwindowgeometry "$main" | grep -q 'Geometry: 755x481' ||
    fail "the window is $(xdotool getwindowgeometry "$main")"
[[ $(xprop -id "$main" _MOTIF_WM_HINTS) == *" = 0x3, 0x2c,"* ]] ||
    fail "the window's functions: $(xprop -id "$main" _MOTIF_WM_HINTS)"
# Before the read the line holds the start-up text, not the modem's name.
[[ $(model_text start) != "NKQ-GPRS virtual" ]] || fail "the model line shows the modem before the read"
click 669 132 # "Считать параметры"
message=$(wait_window "$title")
shot read-message
press "$message" Return
sleep 1
shot read
expect_received COM1 '"STOP\r"'
awk '$2 == "RX" { print $NF }' "$work/COM1.trace" >"$work/window-read-commands.txt"
[[ $(tr '\n' ' ' <"$work/window-read-commands.txt") == '"STOP\r" "GET\r" "START\r" ' ]] ||
    fail "the modem received, in order: $(cat "$work/window-read-commands.txt")"
model=$(model_text read)
[[ $model == "NKQ-GPRS virtual" ]] || fail "the model line reads \"$model\", not the modem's name NKQ-GPRS virtual"

step "the window: the journal in the user's local application data"
[[ -s $journal ]] || fail "no journal in $journal: $(find "$(dirname "$journal")" 2>&1)"
run_nkq window-journal journal
expect_in "$work/window-journal.out" "COM1"
expect_in "$work/window-journal.out" "NKQ-GPRS virtual"

step "the window: the firmware file name kept in the registry"
# Typed with xdotool, which has no Cyrillic for Wine; the store's own
# tests cover names in any script.
head -c 1536 /dev/urandom >"$work/image 2.14.mfw"
image=$(winepath -w "$work/image 2.14.mfw")
click 300 416 # the file name field
xdotool type --delay 20 "$image"
click 636 416 # "Обновить ПО"
question=$(wait_window "Вопрос")
shot question
press "$question" Return # the question's default answer, yes
# The loader answers UPDATE, S, the block count and each of the three
# blocks, the blocks after a 2 s pause.
answers() { awk '/RX "UPDATE\\r"/ { f = 1 } f && $2 == "TX"' "$work/COM1.trace" | wc -l; }
for _ in $(seq 150); do
    (($(answers) >= 6)) && break
    sleep 0.1
done
(($(answers) == 6)) || fail "the update did not go through: $(grep -A8 'RX "UPDATE' "$work/COM1.trace" | cut -c1-80)"
shot update
wine reg query "$orvenik" /v FileName </dev/null >"$work/window-registry.txt"
expect_in "$work/window-registry.txt" "REG_SZ"
expect_in "$work/window-registry.txt" "$image"
close_window

# The next start reads the value from there: one of another type is refused
# with the registry layer's message before the window opens, and it opens
# all the same.
wine reg add "$orvenik" /v FileName /t REG_DWORD /d 1 /f >/dev/null </dev/null
launch window-wrong-type
message=$(wait_window "$title")
shot wrong-type
press "$message" Return
find_main
close_window
wine reg delete "$orvenik" /f >/dev/null </dev/null
