#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual modem and opens the
# workstation window with the modem's port (/dev/ttyVMODEM0) in its port
# list. Press "Считать параметры" to see its parameters arrive. The modem
# stops when the window closes.
# The virtual modem is started only when no USB or ACM serial adapter is attached.
#   NKQ_NO_VIRTUAL_MODEM=1   open the window without the virtual modem
#   NKQ_VIRTUAL_MODEM=1      start the virtual modem even beside a real adapter
#   NKQ_VIRTUAL_MODEM_LINK   another name for the link (default /dev/ttyVMODEM0)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target nkq-workstation nkq-virtual-modem

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "No graphical display (DISPLAY is not set): the window cannot open." >&2
    exit 1
fi

bin=build/release
link=${NKQ_VIRTUAL_MODEM_LINK:-/dev/ttyVMODEM0}
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
modem_pid=""
made_link=""

stop_modem() {
    if [[ -n $made_link ]]; then "${sudo_cmd[@]}" rm -f "$made_link"; fi
    if [[ -n $modem_pid ]]; then
        kill "$modem_pid" 2>/dev/null || true
        wait "$modem_pid" 2>/dev/null || true
    fi
}
trap stop_modem EXIT

# The virtual modem stands in only when no modem adapter (USB serial or
# CDC ACM) is attached, unless asked for either way.
want_modem=1
adapters=$(compgen -G '/dev/ttyUSB*' || true; compgen -G '/dev/ttyACM*' || true)
if [[ ${NKQ_NO_VIRTUAL_MODEM:-0} == 1 ]]; then
    want_modem=0
elif [[ -n $adapters && ${NKQ_VIRTUAL_MODEM:-0} != 1 ]]; then
    want_modem=0
    echo "Modem port found ($(echo $adapters)); not starting the virtual modem (NKQ_VIRTUAL_MODEM=1 starts it anyway)"
fi

if [[ $want_modem == 1 ]]; then
    # The modem runs as this user so the window may open its terminal; only
    # the link in /dev needs root. The modem prints its device first.
    coproc MODEM { exec "$bin/tools/virtual-modem/nkq-virtual-modem"; }
    modem_pid=$MODEM_PID
    read -r device <&"${MODEM[0]}"
    if [[ -e $link && ! -L $link ]]; then
        echo "$link exists and is not a link; set NKQ_VIRTUAL_MODEM_LINK to another name" >&2
        exit 1
    fi
    "${sudo_cmd[@]}" ln -sfn "$device" "$link"
    made_link=$link
    echo "Virtual modem on $device, listed as $(basename "$link")"
fi

"$bin/tools/workstation/nkq-workstation"
