# A section of .ci/windows.sh (sourced there): nkq.exe on a serial device
# server. A virtual modem behind a real ser2net on the loopback, reached
# through Winsock as socket:// (the bytes as they are) and as rfc2217:// (telnet).
step "nkq.exe on a serial device server"
start_modem COM9
net_ports=()
while ((${#net_ports[@]} < 2)); do
    candidate=$((20000 + RANDOM % 20000))
    ss -Hltn "sport = :$candidate" | grep -q . || net_ports+=("$candidate")
done
printf 'connection: &%s\n  accepter: %s127.0.0.1,%s\n  connector: serialdev,%s,115200n81,local\n' \
    raw tcp, "${net_ports[0]}" "$(head -n1 "$work/COM9.device")" \
    telnet telnet\(rfc2217\),tcp, "${net_ports[1]}" "$(head -n1 "$work/COM9.device")" >"$work/ser2net.yaml"
ser2net -n -u -P "$work/ser2net.pid" -c "$work/ser2net.yaml" >"$work/ser2net.log" 2>&1 &
pids+=($!)
for port in "${net_ports[@]}"; do
    for _ in $(seq 50); do
        ss -Hltn "sport = :$port" | grep -q . && break
        sleep 0.1
    done
done
run_nkq net-read read --port "socket://127.0.0.1:${net_ports[0]}"
expect_in "$work/net-read.out" "DESTIP 10.0.0.1"
run_nkq net-telnet read --port "rfc2217://127.0.0.1:${net_ports[1]}"
expect_in "$work/net-telnet.out" "DESTIP 10.0.0.1"
expect_received COM9 '"GET\r"'
(($(grep -c 'RX "START\\r"' "$work/COM9.trace") == 2)) || fail "the modem behind ser2net did not get START twice"
