#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer under Wine, as an operator meets it: a silent install, the installed
# inkwick-cli.exe against the Linux printer-sim (its backup the same, file for file, as the Linux
# inkwick-cli's), the installed inkwick.exe on a display showing its port prompt and, given the
# port, its window, and an uninstall that keeps the user's "PRINTER FILES".
#   installer_under_wine.sh SETUP_EXE PRINTER_SIM LINUX_CLI LINK COM_PORT
# INKWICK_SCREENSHOT=FILE.png keeps a picture of the window for a person to look at.
# LINK is the path Wine's COM_PORT points at; printer-sim makes it. The installed programs run
# on plain Wine, without the build's DLL path: they must find everything in their own folder.
set -euo pipefail

setup="$1" sim="$2" linux_cli="$3" link="$4" port="$5"
wine="${INKWICK_WINE:-/usr/lib/wine/wine64}"
unset WINEPATH
export WINEDEBUG=-all
work="$(mktemp -d)"
sim_pid="" xvfb_pid="" gui_pid=""
finish() {
    [ -n "$gui_pid" ] && "$wine" taskkill /f /im inkwick.exe >/dev/null 2>&1
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT

source "$(dirname "$0")/common.sh"

[ -f "$setup" ] || fail "no installer at $setup (scripts/test --windows makes it)"
installed="$WINEPREFIX/drive_c/Program Files/Inkwick"
programs="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Inkwick"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Inkwick'

# What an earlier, interrupted run left behind.
rm -rf "$installed" "$programs"
"$wine" reg delete "$key" /f >/dev/null 2>&1 || true

"$wine" "$setup" /S || fail "the silent install failed"
for f in inkwick.exe inkwick-cli.exe uninstall.exe qt.conf inkwick.ico Qt6Core.dll \
    Qt6SerialPort.dll plugins/platforms/qwindows.dll translations/qtbase_ru.qm; do
    [ -f "$installed/$f" ] || fail "not installed: $f"
done
[ -f "$programs/Inkwick.lnk" ] || fail "no Start-menu entry"
"$wine" reg query "$key" /v DisplayName 2>/dev/null | grep -q "Inkwick" ||
    fail "no entry among the installed programs"
# Every program in the folder starts from it alone (a copy elsewhere would miss its DLLs) and is
# the installer's version.
release="$(basename "$setup" | sed -n 's/^Inkwick-\(.*\)-x64-setup\.exe$/\1/p')"
while read -r exe; do
    name="$(basename "$exe" .exe)"
    [ "$name" = uninstall ] && continue
    out="$("$wine" "$exe" --version 2>&1)" || fail "$name --version: $out"
    [ "$(tr -d '\r' <<<"$out")" = "$name $release" ] || fail "$name --version: $out"
done < <(find "$installed" -name '*.exe')

start_printer_sim "$sim" "$link" --request-log "$work/requests"

cli() {
    (cd "$work" && "$wine" "C:\\Program Files\\Inkwick\\inkwick-cli.exe" --port "$port" --json "$@")
}
version="$(cli version)" || fail "version: $version"
[ "$(jq -r .version <<<"$version")" = "K309 v4.12 011010" ] || fail "version: $version"
settings="$(cli settings)" || fail "settings: $settings"
jq -r .text <<<"$settings" | grep -q "УСТАВКИ СИСТЕМЫ ПЕЧАТИ" || fail "settings: $settings"

# The same printer backed up by the installed Windows program and by the Linux one.
cli backup windows >/dev/null 2>"$work/backup.err" || fail "backup by the installed inkwick-cli.exe: $(cat "$work/backup.err")"
(cd "$work" && "$linux_cli" --port "$link" --json backup linux >/dev/null 2>&1) ||
    fail "backup by the Linux inkwick-cli"
diff -r -x manifest.json "$work/linux" "$work/windows" || fail "the two backups differ"
same='{model, version, marks, logos, sha256}'
[ "$(jq -S "$same" "$work/windows/manifest.json")" = "$(jq -S "$same" "$work/linux/manifest.json")" ] ||
    fail "the two manifests differ"

# The installed window: its port prompt, then, given printer-sim's port, the program itself.
display=""
for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
[ -n "$display" ] || fail "no free X display"
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.out" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
# A desktop of its own: Wine's default one belongs to whichever program came first, and another
# test's programs, offscreen, may hold it without a display.
(cd "$work" && DISPLAY="$display" exec "$wine" explorer /desktop=Inkwick,800x600 \
    "C:\\Program Files\\Inkwick\\inkwick.exe") >"$work/gui.out" 2>&1 &
gui_pid=$!
x() { DISPLAY="$display" timeout 60 xdotool "$@"; }
shown() {
    local w
    for w in $(DISPLAY="$display" xdotool search --onlyvisible --name . 2>/dev/null); do
        printf '"%s" ' "$(DISPLAY="$display" xdotool getwindowname "$w")"
    done
}
prompt="$(x search --sync --onlyvisible --name "Открыть СОМ-порт" | head -n 1)" ||
    fail "inkwick.exe showed no port prompt; on the screen: $(shown)"
# Typed as a user types: into the focused field, replacing the proposed number.
x windowfocus "$prompt"
x key ctrl+a
x type --delay 50 "${port#COM}"
asked_before="$(wc -l <"$work/requests")"
x key Return
# The window reads the printer's version as soon as its port is open.
for _ in $(seq 100); do
    [ "$(tail -n +"$((asked_before + 1))" "$work/requests" | grep -ci '^11690e')" -gt 0 ] && break
    sleep 0.2
done
tail -n +"$((asked_before + 1))" "$work/requests" | grep -qi '^11690e' ||
    fail "inkwick.exe did not ask the printer on $port; on the screen: $(shown)"
# ...and shows it in its window.
x search --sync --onlyvisible --name "Информация Системы Печати" >/dev/null ||
    fail "inkwick.exe did not show the printer's version; on the screen: $(shown)"
[ -z "$(DISPLAY="$display" xdotool search --onlyvisible --name "Открыть СОМ-порт")" ] ||
    fail "the port prompt stayed; on the screen: $(shown)"
x search --onlyvisible --name "'INKWICK' для K307/K309" >/dev/null ||
    fail "inkwick.exe has no window; on the screen: $(shown)"
if [ -n "${INKWICK_SCREENSHOT:-}" ]; then
    DISPLAY="$display" import -window root "$INKWICK_SCREENSHOT"
fi
"$wine" taskkill /f /im inkwick.exe >/dev/null 2>&1 || true
wait "$gui_pid" 2>/dev/null || true
gui_pid=""

# Uninstalled, the program goes; what the user keeps in its folder stays.
mkdir -p "$installed/PRINTER FILES"
printf '11\x1802СМЕНА 2\r\n' >"$installed/PRINTER FILES/shift.mrt"
"$wine" "C:\\Program Files\\Inkwick\\uninstall.exe" /S || fail "the silent uninstall failed"
# The uninstaller runs on from a copy of itself in the temporary folder: its last steps are the
# Start-menu entry and the registry.
for _ in $(seq 100); do
    [ -e "$installed/uninstall.exe" ] || [ -e "$programs" ] ||
        "$wine" reg query "$key" >/dev/null 2>&1 || break
    sleep 0.2
done
[ -e "$installed/uninstall.exe" ] && fail "the uninstaller left itself behind"
left="$(cd "$installed" && find . -mindepth 1 | sort | tr '\n' ' ')"
[ "$left" = "./PRINTER FILES ./PRINTER FILES/shift.mrt " ] || fail "left after uninstalling: $left"
[ -e "$programs" ] && fail "the Start-menu entry stayed"
"$wine" reg query "$key" >/dev/null 2>&1 && fail "the installed-programs entry stayed"
rm -rf "$installed"
echo "the installer under Wine: silent install, inkwick-cli.exe backup as on Linux, the window on $port, uninstall keeping PRINTER FILES: all good"
