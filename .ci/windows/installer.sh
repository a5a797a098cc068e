# A section of .ci/windows.sh (sourced there): the installer, silently
# (/S) into a folder of its own, the installed nkq.exe run from there, then
# the uninstaller, after which nothing it made may be left.

step "the installer: a silent install"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\nkq-workstation'
shortcut="$(windows_folder ProgramData)/Microsoft/Windows/Start Menu/Programs/Рабочее место NKQ.lnk"
# NSIS takes /D= unquoted, so the folder has no blank in it.
installed=$work/installed/nkq
mkdir -p "$(dirname "$installed")"
(cd "$work" && timeout 120 wine "$setup" /S "/D=$(winepath -w "$installed")" </dev/null) ||
    fail "the installer ended with status $?"
cmp -s "$installed/nkq-workstation.exe" "$workstation" || fail "the window was not installed: $(ls -l "$installed")"
cmp -s "$installed/nkq.exe" "$nkq" || fail "nkq.exe was not installed: $(ls -l "$installed")"
[[ -f $installed/uninstall.exe ]] || fail "no uninstaller: $(ls -l "$installed")"
[[ -f $shortcut ]] || fail "no Start-menu shortcut: $(ls "$(dirname "$shortcut")")"
# reg query prints the console's code page; an export keeps the text whole.
wine reg export "$uninstall_key" "$(winepath -w "$work/uninstall-entry.reg")" /y >/dev/null </dev/null ||
    fail "no entry in Programs and Features"
iconv -f UTF-16LE -t UTF-8 "$work/uninstall-entry.reg" | tr -d '\r' >"$work/uninstall-entry.txt"
expect_in "$work/uninstall-entry.txt" '"DisplayName"="Рабочее место настройки и проверки модемов Morvasta NKQ"'
# A value as an export writes it: backslashes and quotes escaped.
quiet=$(printf '"%s\\uninstall.exe" /S' "$(winepath -w "$installed")" | sed 's/[\\"]/\\&/g')
expect_in "$work/uninstall-entry.txt" "\"QuietUninstallString\"=\"$quiet\""

step "the installer: the installed nkq.exe"
(cd "$work" && timeout 120 wine "$installed/nkq.exe" ports >"$work/installed-ports.out" 2>"$work/installed-ports.err" </dev/null) ||
    fail "the installed nkq.exe ports ended with status $?: $(cat "$work/installed-ports.err")"
expect_in "$work/installed-ports.out" "COM5"

step "the installer: a silent uninstall"
(cd "$work" && timeout 120 wine "$installed/uninstall.exe" /S </dev/null) ||
    fail "the uninstaller ended with status $?"
# The uninstaller works from a copy of itself in the temporary folder, so
# it has ended only when the folder it took away is gone.
for _ in $(seq 300); do
    [[ -e $installed ]] || break
    sleep 0.1
done
[[ ! -e $installed ]] || fail "left after uninstalling: $(find "$installed")"
[[ ! -e $shortcut ]] || fail "the Start-menu shortcut is left after uninstalling"
if wine reg query "$uninstall_key" >/dev/null 2>&1 </dev/null; then
    fail "the Programs and Features entry is left after uninstalling"
fi
