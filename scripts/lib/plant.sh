#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A plant on this machine: one mosquitto on the loopback, N printer-sim and N inkwick-agent.
#   scripts/lib/plant.sh BUILD_DIR N     (scripts/run --plant N builds first and calls this)
# Runs until Ctrl+C, then stops everything it started.
set -euo pipefail
# Debian keeps the broker in /usr/sbin, which a user's PATH often lacks.
export PATH="$PATH:/usr/sbin"

dir="$1"
count="$2"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
sim="$dir/tools/printer-sim/printer-sim"
agent="$dir/src/agent/inkwick-agent"
cli="$dir/src/cli/inkwick-cli"
for f in "$sim" "$agent" "$cli"; do
    [ -x "$f" ] || { echo "scripts/run: $f was not built" >&2; exit 1; }
done
command -v mosquitto >/dev/null || { echo "scripts/run: mosquitto is not installed" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
stop_all() {
    local i
    # Agents first, so each says offline while the broker still listens.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[$i]}" 2>/dev/null || true
        wait "${pids[$i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap stop_all EXIT
trap 'exit 130' INT TERM

port=1883
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\nset_tcp_nodelay true\n' "$port" >"$work/mosquitto.conf"
mosquitto -c "$work/mosquitto.conf" >"$work/mosquitto.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.05
done

mkdir -p "$dir/plant" "$ROOT/.sim-memory/plant"
for i in $(seq 1 "$count"); do
    "$sim" --model K309 --memory "$ROOT/.sim-memory/plant/line$i" --link "$dir/plant/line$i" \
        >"$work/sim$i.log" 2>&1 &
    pids+=($!)
done
for i in $(seq 1 "$count"); do
    for _ in $(seq 1 100); do [ -e "$dir/plant/line$i" ] && break; sleep 0.05; done
    cat >"$work/agent-line$i.conf" <<CONF
port = $dir/plant/line$i
poll_period = 60
[broker]
url = mqtt://127.0.0.1:$port
[operations]
allow = set-date-offset, set-clock, set-lines, write-mark, write-fragment
CONF
    "$agent" --config "$work/agent-line$i.conf" --name "line$i" >"$work/agent$i.log" 2>&1 &
    pids+=($!)
done

echo "A plant of $count simulated K309 printers (line1..line$count) on mqtt://127.0.0.1:$port."
echo "Watch them:"
echo "    mosquitto_sub -h 127.0.0.1 -p $port -t 'inkwick/#' -v"
echo "Change the shift on every printer:"
echo "    $cli --broker mqtt://127.0.0.1:$port --all set-date-offset 3"
echo "Ctrl+C stops the plant."
wait "${pids[0]}"
