#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The plant benchmark: one mosquitto on the loopback, PRINTERS printer-sim and as many agents.
#   bench/plant.sh BUILD_DIR [PRINTERS=50] [SERIES_PRINTERS=10] [SERIES=500]
# 1. every printer's date offset set by one `inkwick-cli --broker --all` call, against the
#    slowest of the same command sent to one printer at a time (target: within 1.5 x);
# 2. resident memory of each agent;
# 3. SERIES commands over SERIES_PRINTERS printers with the broker restarted in the middle:
#    every command answered exactly once, none run twice (counted in the simulators' request
#    logs: each command sets its own offset).
set -euo pipefail
# Debian keeps the broker in /usr/sbin, which a user's PATH often lacks.
export PATH="$PATH:/usr/sbin"

dir="$1"
printers="${2:-50}"
series_printers="${3:-10}"
series="${4:-500}"
sim="$dir/tools/printer-sim/printer-sim"
agent="$dir/src/agent/inkwick-agent"
cli="$dir/src/cli/inkwick-cli"
work="$(mktemp -d)"
broker_pid=""
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    [ -n "$broker_pid" ] && { kill "$broker_pid" 2>/dev/null || true; wait "$broker_pid" 2>/dev/null || true; }
    rm -rf "$work"
}
trap cleanup EXIT

port=18900
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
url="mqtt://127.0.0.1:$port"
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\nset_tcp_nodelay true\nmax_queued_messages 10000\n' \
    "$port" >"$work/mosquitto.conf"
start_broker() {
    mosquitto -c "$work/mosquitto.conf" >>"$work/mosquitto.log" 2>&1 &
    broker_pid=$!
    for _ in $(seq 1 200); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
        sleep 0.02
    done
    echo "mosquitto did not start" >&2
    return 1
}
start_broker

now_ms() { date +%s%3N; }

for i in $(seq 1 "$printers"); do
    "$sim" --model K309 --link "$work/line$i" --request-log "$work/requests$i" >/dev/null 2>&1 &
    pids+=($!)
done
agent_pids=()
for i in $(seq 1 "$printers"); do
    for _ in $(seq 1 200); do [ -e "$work/line$i" ] && break; sleep 0.02; done
    "$agent" --port "$work/line$i" --name "line$i" --broker "$url" --allow set-date-offset \
        >"$work/agent$i.log" 2>&1 &
    pids+=($!)
    agent_pids+=($!)
done

# Every agent online (its first poll done) before anything is timed.
for _ in $(seq 1 300); do
    online=$("$cli" --broker "$url" --all --timeout 30 version 2>/dev/null | grep -c '"ok":true' || true)
    [ "$online" -ge "$printers" ] && break
    sleep 0.2
done
echo "printers online: $online of $printers"

echo "== one printer at a time: set-date-offset 3"
slowest=0
total=0
for i in $(seq 1 "$printers"); do
    t0=$(now_ms)
    "$cli" --broker "$url" --printer "line$i" set-date-offset 3 >"$work/one$i.json"
    t=$(( $(now_ms) - t0 ))
    grep -q '"ok":true' "$work/one$i.json" || { echo "line$i failed: $(cat "$work/one$i.json")" >&2; exit 1; }
    total=$((total + t))
    [ "$t" -gt "$slowest" ] && slowest=$t
done
echo "single printer: slowest ${slowest} ms, mean $((total / printers)) ms"

echo "== every printer: --all set-date-offset 3 (10 runs)"
worst=0
times=()
for run in $(seq 1 10); do
    t0=$(now_ms)
    "$cli" --broker "$url" --all set-date-offset 3 >"$work/all.json"
    t=$(( $(now_ms) - t0 ))
    ok=$(grep -c '"ok":true' "$work/all.json" || true)
    echo "run $run: $t ms, $ok answers ok"
    [ "$ok" -eq "$printers" ] || { echo "not every printer answered" >&2; exit 1; }
    [ "$t" -gt "$worst" ] && worst=$t
    times+=("$t")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n '5p;6p' | awk '{ s += $1 } END { print int(s / 2) }')
echo "--all median ${median} ms = $(awk -v a="$median" -v b="$slowest" 'BEGIN { printf "%.2f", a / b }') x the slowest single printer"
echo "--all worst ${worst} ms = $(awk -v a="$worst" -v b="$slowest" 'BEGIN { printf "%.2f", a / b }') x the slowest single printer (target 1.5)"

# Where one --all run's time goes, seen from the broker: a listener stamps every command, every
# answer and the run's own sync message as it passes; the run's start and end are stamped here.
echo "== one --all run, step by step (times from the run's start, ms)"
trace() {
    local what="$1"
    shift
    mosquitto_sub -h 127.0.0.1 -p "$port" -F '%U %t' -t 'inkwick/+/cmd/#' -t 'inkwick/+/result/#' \
        -t 'inkwick-cli/#' >"$work/trace" 2>/dev/null &
    local sub=$!
    sleep 0.3
    local t0 t1
    t0=$(date +%s.%N)
    "$cli" --broker "$url" "$@" set-date-offset 3 >/dev/null
    t1=$(date +%s.%N)
    sleep 0.2
    kill "$sub"; wait "$sub" 2>/dev/null || true
    awk -v t0="$t0" -v t1="$t1" -v what="$what" '
        function ms(t) { return (t - t0) * 1000 }
        $2 ~ /\/sync$/ && !sync { sync = $1 }
        $2 ~ /\/cmd\// { if (!c1) c1 = $1; cn = $1; cmds++ }
        $2 ~ /\/result\// { if (!r1) r1 = $1; rn = $1; results++ }
        END {
            printf "%s: ", what
            if (sync) printf "sync %.1f, ", ms(sync)
            printf "first command %.1f, last command %.1f (%d), first answer %.1f, last answer %.1f (%d), exit %.1f\n", \
                ms(c1), ms(cn), cmds, ms(r1), ms(rn), results, ms(t1)
        }' "$work/trace"
}
for run in 1 2 3; do
    trace "single line$printers, run $run" --printer "line$printers"
    trace "--all, run $run" --all
done
t0=$(now_ms)
"$cli" --version >/dev/null
echo "inkwick-cli --version alone: $(( $(now_ms) - t0 )) ms"

echo "== resident memory per agent"
rss_total=0
rss_max=0
for p in "${agent_pids[@]}"; do
    kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$p/status")
    rss_total=$((rss_total + kb))
    [ "$kb" -gt "$rss_max" ] && rss_max=$kb
done
echo "agents: ${#agent_pids[@]}, mean $((rss_total / ${#agent_pids[@]})) KiB, max ${rss_max} KiB"

echo "== $series commands over $series_printers printers, broker restarted in the middle"
for i in $(seq 1 "$series_printers"); do : >"$work/requests$i"; done
per=$((series / series_printers))
t0=$(now_ms)
stream_pids=()
for i in $(seq 1 "$series_printers"); do
    (
        for j in $(seq 1 "$per"); do
            days=$((i * 1000 % 10000 + j))
            "$cli" --broker "$url" --printer "line$i" --timeout 120 set-date-offset "$days" \
                >>"$work/series$i.json" 2>>"$work/series$i.err" || true
        done
    ) &
    stream_pids+=($!)
done
sleep 2
kill "$broker_pid"; wait "$broker_pid" 2>/dev/null || true
echo "broker stopped at $(( $(now_ms) - t0 )) ms"
sleep 1
start_broker
echo "broker back at $(( $(now_ms) - t0 )) ms"
for p in "${stream_pids[@]}"; do wait "$p"; done
echo "series took $(( $(now_ms) - t0 )) ms"
answers=$(cat "$work"/series*.json | wc -l)
answered_ok=$(cat "$work"/series*.json | grep -c '"ok":true' || true)
twice=0
missing=0
for i in $(seq 1 "$series_printers"); do
    for j in $(seq 1 "$per"); do
        days=$((i * 1000 % 10000 + j))
        hex=$(printf '1d44%s0e' "$(printf '%04d' "$days" | od -An -tx1 | tr -d ' \n')")
        n=$(grep -c "^$hex\$" "$work/requests$i" || true)
        [ "$n" -gt 1 ] && twice=$((twice + 1))
        [ "$n" -eq 0 ] && missing=$((missing + 1))
    done
done
echo "answers: $answers (ok: $answered_ok) of $series; run twice: $twice; never run: $missing"
[ "$answers" -eq "$series" ] && [ "$answered_ok" -eq "$series" ] && [ "$twice" -eq 0 ] && [ "$missing" -eq 0 ]
