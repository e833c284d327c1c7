#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# inkwick-cli.exe under Wine against the Linux printer-sim: the version, the print-system
# settings in Russian through a pipe, a mark written and read back byte for byte, a backup.
#   cli_under_wine.sh WINE_RUN INKWICK_CLI_EXE PRINTER_SIM LINK COM_PORT
# LINK is the path Wine's COM_PORT points at; printer-sim makes it.
set -euo pipefail

wine_run="$1" cli="$2" sim="$3" link="$4" port="$5"
work="$(mktemp -d)"
sim_pid=""
finish() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT

source "$(dirname "$0")/common.sh"

start_printer_sim "$sim" "$link"

run() {
    (cd "$work" && "$wine_run" "$cli" --port "$port" --json "$@")
}

version="$(run version)" || fail "version: $version"
[ "$(jq -r .model <<<"$version")" = K309 ] || fail "version: $version"
[ "$(jq -r .version <<<"$version")" = "K309 v4.12 011010" ] || fail "version: $version"

# Cyrillic must reach a pipe as UTF-8, not as the ANSI code page's question marks.
settings="$(run settings)" || fail "settings: $settings"
jq -r .text <<<"$settings" | grep -q "УСТАВКИ СИСТЕМЫ ПЕЧАТИ" || fail "settings: $settings"
grep -q '?' <<<"$(jq -r .text <<<"$settings")" && fail "settings: $settings"

# Mark 07 with a Cyrillic fragment text, Windows-1251 in the file.
{
    for line in 1 2 3 4; do
        for fragment in 1 2 3 4 5 6 7 8; do
            text=""
            [ "$line$fragment" = 11 ] && text="$(printf 'СМЕНА 2' | iconv -f UTF-8 -t CP1251)"
            printf '%s%s\x1802%s\r\n' "$line" "$fragment" "$text"
        done
    done
} >"$work/shift.mrt"
written="$(run write-mark 7 shift.mrt)" || fail "write-mark: $written"
read="$(run read-mark 7 back.mrt)" || fail "read-mark: $read"
cmp "$work/shift.mrt" "$work/back.mrt" || fail "the mark read back differs from the one written"

backup="$(run backup line1)" || fail "backup: $backup"
jq -e '.marks | index(7)' <<<"$backup" >/dev/null || fail "backup without mark 07: $backup"
[ -f "$work/line1/manifest.json" ] || fail "backup without manifest.json"
cmp "$work/shift.mrt" "$work/line1/marks/07.mrt" || fail "the backup's mark 07 differs"
(cd "$work/line1" && jq -r '.sha256 | to_entries[] | "\(.value)  \(.key)"' manifest.json |
    sha256sum -c --quiet -) || fail "the backup's files do not match their manifest"
echo "inkwick-cli.exe under Wine: version, settings, mark 07 round trip, backup: all good"
