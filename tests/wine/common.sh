# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the scripts that run Windows programs under Wine against the Linux printer-sim.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# start_printer_sim SIM LINK [OPTIONS...]: printer-sim in the background (its pid in sim_pid),
# its memory and output in $work, once its pseudo-terminal's LINK is there.
start_printer_sim() {
    local sim="$1" link="$2"
    shift 2
    "$sim" --link "$link" --memory "$work/memory" "$@" >"$work/sim.out" 2>&1 &
    sim_pid=$!
    for _ in $(seq 50); do
        [ -e "$link" ] && return 0
        sleep 0.1
    done
    fail "printer-sim made no $link"
}
