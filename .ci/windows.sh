#!/usr/bin/env bash
# The Windows build, proven on this Linux machine: builds the core, nkq.exe,
# the window, the portable tests and the installer with MinGW-w64 (with
# scripts/build-windows.sh, Qt for Windows from the machine's cache), runs
# the tests under Wine, then runs nkq.exe and the window end to end against
# virtual modems started here and linked to COM ports of a fresh Wine prefix
# on a private X server, checking what each modem received, and last
# installs, runs and uninstalls the installer. Every process it starts, and
# the Wine server, is stopped on every way out.
#
# The checks after the set-up are sections in .ci/windows/, run in this
# shell in the order listed at the end; they use what the set-up defines:
# $root, $build, $work, $nkq, $workstation, $setup, fail, step,
# start_modem, run_nkq, expect_in, expect_received, wait_window,
# windows_folder, and the array pids of processes to stop at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
begin=$SECONDS
step() { echo "--- windows: $1 (at $((SECONDS - begin)) s)"; }
fail() {
    echo "windows: $*" >&2
    exit 1
}

step "packages"
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 nsis xvfb xdotool x11-utils imagemagick \
    openbox tesseract-ocr

step "the Linux virtual modem"
cmake --preset dev >/dev/null
cmake --build --preset dev --target nkq-virtual-modem
modem_program=$root/build/dev/tools/virtual-modem/nkq-virtual-modem

step "Qt, SQLite and GoogleTest for Windows; the core, nkq.exe, the window, the tests and the installer"
scripts/build-windows.sh --tests
build=$root/build/windows-tests
nkq=$build/tools/nkq/nkq.exe
workstation=$build/tools/workstation/nkq-workstation.exe
setup=$build/nkq-setup-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt").exe
work=$build/wine-run
rm -rf "$work"
mkdir -p "$work"

# A fresh prefix that knows nothing of this user's Wine; no Mono or Gecko
# installer.
export WINEPREFIX=$build/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine turns the arguments into the Windows command line with the locale's
# code set: UTF-8, so that Cyrillic file names arrive as they are.
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$WINEPREFIX"

pids=()
server_pid=""
stop_everything() {
    local status=$?
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [[ -n $server_pid ]]; then
        wineserver -k 2>/dev/null || true
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    return $status
}
trap stop_everything EXIT

step "a private X server, the Wine prefix and server"
# Wine's desktop takes the display of the program that starts it, the first
# one: so the display is there before the prefix is made. Nothing waits for
# a click on it: crash dialogs are off (below). A window manager gives the
# keyboard to the window on top, as a desktop does.
Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(cat "$work/display")
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# Started first and kept running: otherwise every program pays the server's
# start-up, and the helper processes Wine starts would inherit (and hold
# open) whatever output pipe the first program had.
mkdir -p "$WINEPREFIX"
wineserver -f -p >"$work/wineserver.log" 2>&1 &
server_pid=$!
# The server listens once its socket exists (in a folder under /tmp named
# after the prefix's device and inode); a program started before that would
# start a second server of its own.
server_folder=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
socket=""
for _ in $(seq 100); do
    socket=$(compgen -G "/tmp/*wine*/$server_folder/socket" | head -n1 || true)
    [[ -n $socket ]] && break
    sleep 0.1
done
[[ -n $socket ]] || fail "the Wine server did not start: $(cat "$work/wineserver.log")"
wine wineboot -i >"$work/wineboot.log" 2>&1 </dev/null
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null </dev/null
# The window is drawn in Windows' Arial and Courier New; Wine has neither,
# so their metric twins stand in under those names.
fonts='HKCU\Software\Wine\Fonts\Replacements'
wine reg add "$fonts" /v Arial /d "Liberation Sans" /f >/dev/null </dev/null
wine reg add "$fonts" /v "Courier New" /d "Liberation Mono" /f >/dev/null </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null

# Drivers register their ports under this key; the prefix may have added
# /dev/ttyS0 as COM1, which the tests must not depend on.
serial_key='HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
wine reg delete "$serial_key" /va /f >/dev/null 2>&1 </dev/null || true

# start_modem COMn [switches...]: a virtual modem on a pseudo-terminal,
# linked as COMn (Wine's device links are named in lower case) and
# registered; its trace goes to $work/COMn.trace.
start_modem() {
    local port=$1
    shift
    "$modem_program" --trace "$work/$port.trace" "$@" >"$work/$port.device" 2>"$work/$port.log" &
    pids+=($!)
    local device=""
    for _ in $(seq 50); do
        device=$(head -n1 "$work/$port.device" 2>/dev/null || true)
        [[ -n $device ]] && break
        sleep 0.1
    done
    [[ -n $device ]] || fail "the virtual modem for $port did not start: $(cat "$work/$port.log")"
    ln -sfn "$device" "$WINEPREFIX/dosdevices/${port,,}"
    wine reg add "$serial_key" /v "\\Device\\NkqVirtualModem${port#COM}" /t REG_SZ /d "$port" /f \
        >/dev/null </dev/null
    echo "$port -> $device"
}

# wait_window TITLE: the id of the visible window named exactly TITLE, once
# it is there (up to 30 s).
wait_window() {
    local id
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    fail "no window \"$1\" appeared"
}
# windows_folder NAME: the Linux path of the folder in the environment
# variable NAME of Wine's programs (LOCALAPPDATA, ProgramData).
windows_folder() {
    winepath -u "$(wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null
}

step "COM ports served by virtual modems"
start_modem COM5   # nkq.exe end to end
start_modem COM12  # a two-digit port, named in the device form
start_modem COM7   # the serial port tests
start_modem COM6 --burst-gap 500  # replies with a pause inside

step "tests under Wine"
NKQ_TEST_PORT=COM7 NKQ_TEST_GAP_PORT=COM6 NKQ_TEST_REGISTERED_PORTS=COM5,COM12,COM7,COM6 \
    ctest --preset windows-tests </dev/null

step "nkq.exe end to end"
# nkq runs in the run folder; its output goes to files, never to a pipe.
run_nkq() {
    local name=$1
    shift
    (cd "$work" && timeout 120 wine "$nkq" "$@" >"$work/$name.out" 2>"$work/$name.err" </dev/null) ||
        fail "nkq $* ended with status $?: $(cat "$work/$name.err")"
}
expect_in() {
    grep -qF -- "$2" "$1" || fail "$1 lacks: $2 ($(head -c 600 "$1"))"
}
# What the modem on a port has received so far, from its trace.
expect_received() {
    awk '$2 == "RX"' "$work/$1.trace" >"$work/$1.received"
    expect_in "$work/$1.received" "$2"
}

run_nkq ports ports
printf 'COM12\nCOM5\nCOM6\nCOM7\n' >"$work/ports.expected"
cmp -s "$work/ports.out" "$work/ports.expected" || fail "nkq ports listed: $(cat "$work/ports.out")"

run_nkq read read --port COM5
expect_in "$work/read.out" "DESTIP 10.0.0.1"
(($(grep -c $'\r$' "$work/read.out") == $(wc -l <"$work/read.out"))) || fail "read printed lines without CR LF"
expect_in "$work/read.err" "Параметры успешно считаны"
expect_received COM5 '"GET\r"'

# A Windows-1251 settings file in a Cyrillic folder goes in and comes back
# byte for byte, and the second read replaces the file the first one saved.
settings=$root/tests/params/data/server.txt
mkdir -p "$work/настройки"
cp "$settings" "$work/настройки/сервер.txt"
run_nkq write write --port COM5 "настройки/сервер.txt"
expect_in "$work/write.err" "Параметры успешно записаны"
expect_received COM5 '"APN \xe8\xed\xf2\xe5\xf0\xed\xe5\xf2.\xec\xf2\xf1\r"'
run_nkq read-back read --port COM5 --output back.txt
run_nkq read-again read --port COM5 --output back.txt
cmp -s "$work/back.txt" "$settings" || fail "the settings read back differ from those written"

# An image full of 0x1A (end of file to a text-mode read) must go out whole.
head -c 1636 /dev/zero | tr '\0' '\032' >"$work/image.mfw"
run_nkq flash flash --port COM5 --yes image.mfw
sent=$(awk '/RX "UPDATE\\r"/ { f = 1 } f && $2 == "RX"' "$work/COM5.trace" | grep -o '\\x1a' | wc -l)
((sent == 1536)) || fail "the modem received $sent bytes of the image's three blocks, not 1536"

run_nkq status status --port COM5
expect_in "$work/status.out" "Текущие подключения:"
expect_received COM5 '"TCP\r"'

# Ctrl+C (Wine hands SIGINT to the console's handlers) ends a watch as the
# stop request: START is sent and the status is 0.
polls_before=$(grep -c 'RX "TCP' "$work/COM5.trace")
(cd "$work" && exec wine "$nkq" status --watch --port COM5 >"$work/watch.out" 2>"$work/watch.err" </dev/null) &
watch_pid=$!
pids+=("$watch_pid")
for _ in $(seq 100); do
    (($(grep -c 'RX "TCP' "$work/COM5.trace") > polls_before)) && break
    sleep 0.1
done
kill -INT "$watch_pid"
watch_status=0
wait "$watch_pid" || watch_status=$?
((watch_status == 0)) || fail "status --watch ended with $watch_status after Ctrl+C: $(cat "$work/watch.err")"
[[ $(awk '$2 == "RX"' "$work/COM5.trace" | tail -n1) == *'"START\r"' ]] ||
    fail "the modem's last command after Ctrl+C was not START"

# A journal named in Cyrillic letters is read from the wide-character
# environment and made where it says.
NKQ_JOURNAL='журнал\работа.sqlite3' run_nkq journal-read read --port COM5
NKQ_JOURNAL='журнал\работа.sqlite3' run_nkq journal-list journal
[[ -s $work/журнал/работа.sqlite3 ]] || fail "no journal in a Cyrillic folder: $(ls "$work")"
expect_in "$work/journal-list.out" "COM5"

# Acknowledgements that arrive a byte at a time are taken whole.
start_modem COM8 --acks-byte-by-byte
run_nkq split-write write --port COM8 "настройки/сервер.txt"
expect_in "$work/split-write.err" "Параметры успешно записаны"

run_nkq many read --port COM5 --port '\\.\COM12' --output-dir модемы
# Windows keeps COM1.txt..COM9.txt for its ports, hence COM5_.txt.
[[ -s $work/модемы/COM5_.txt && -s $work/модемы/COM12.txt ]] ||
    fail "many-port read saved: $(ls -R "$work")"
expect_received COM12 '"GET\r"'

for section in network window installer; do
    # shellcheck source=/dev/null
    source "$root/.ci/windows/$section.sh"
done

step "all passed in $((SECONDS - begin)) s"
