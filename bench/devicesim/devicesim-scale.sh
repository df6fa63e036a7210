#!/usr/bin/env bash
# Scale benchmark of ardmere-devicesim: 1000 devices in one process on 127.0.2.0 and up.
# Measures start-up time, resident memory, CPU while idle, and 1000 concurrent getparam requests
# (one per device, Digest authentication) sent by curl --parallel.
#
#   bench/devicesim/devicesim-scale.sh [path/to/ardmere-devicesim] [device count]
#
# Targets: resident memory under 300 MB, near-zero idle CPU, every request answered.
# Exits 1 when a target is missed.
set -euo pipefail

bin=${1:-build/tools/devicesim/ardmere-devicesim}
count=${2:-1000}
http_port=${DEVSIM_BENCH_HTTP_PORT:-28080}
https_port=${DEVSIM_BENCH_HTTPS_PORT:-28443}
discovery_port=${DEVSIM_BENCH_DISCOVERY_PORT:-28678}
# curl caps --parallel-max at 300, so several curl processes share the load.
curl_processes=4

ulimit -n "$(ulimit -Hn)" 2>/dev/null || true
work=$(mktemp -d)
sim_pid=""
cleanup() {
    if [[ -n "$sim_pid" ]] && kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid"
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

now_ms() { date +%s%3N; }
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

start=$(now_ms)
"$bin" --count "$count" --first-ip 127.0.2.0 --http-port "$http_port" --https-port "$https_port" \
    --discovery-port "$discovery_port" > "$work/out" 2> "$work/err" &
sim_pid=$!
until grep -q '^ready ' "$work/out" 2>/dev/null; do
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "the simulator exited:"; cat "$work/err"; exit 1
    fi
    sleep 0.05
done
ready_ms=$(( $(now_ms) - start ))
rss_start=$(rss_kb "$sim_pid")

# Idle CPU over 5 seconds.
hz=$(getconf CLK_TCK)
t0=$(cpu_ticks "$sim_pid")
sleep 5
t1=$(cpu_ticks "$sim_pid")
idle_cpu=$(awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN {printf "%.2f", d * 100 / (hz * 5)}')

# 1000 concurrent getparam requests, one per device.
python3 - "$count" "$http_port" "$curl_processes" "$work" <<'PY'
import ipaddress, sys
count, port, procs, work = int(sys.argv[1]), sys.argv[2], int(sys.argv[3]), sys.argv[4]
base = int(ipaddress.IPv4Address("127.0.2.0"))
files = [open(f"{work}/urls{p}", "w") for p in range(procs)]
for i in range(count):
    ip = ipaddress.IPv4Address(base + i)
    f = files[i % procs]
    f.write(f'url = "http://{ip}:{port}/cgi-bin/admin/getparam.cgi?system_info_firmwareversion&network"\n')
    f.write('output = "/dev/null"\n')
for f in files:
    f.close()
PY
per_process=$(( (count + curl_processes - 1) / curl_processes ))
load_ticks=$(cpu_ticks "$sim_pid")
load_start=$(now_ms)
curl_pids=()
for p in $(seq 0 $((curl_processes - 1))); do
    curl -s --digest -u root:ardmere1 --parallel --parallel-immediate --parallel-max "$per_process" \
        --max-time 60 -w '%{http_code}\n' -K "$work/urls$p" > "$work/codes$p" 2> /dev/null &
    curl_pids+=($!)
done
wait "${curl_pids[@]}" || true
load_ms=$(( $(now_ms) - load_start ))
load_cpu_ms=$(( ($(cpu_ticks "$sim_pid") - load_ticks) * 1000 / hz ))
answered=$(cat "$work"/codes* | grep -c '^200$' || true)
rss_after=$(rss_kb "$sim_pid")
rps=$(awk -v n="$answered" -v ms="$load_ms" 'BEGIN {printf "%.0f", n * 1000 / (ms > 0 ? ms : 1)}')

echo "devices:                 $count"
echo "start-up until ready:    ${ready_ms} ms"
echo "resident memory idle:    $((rss_start / 1024)) MB"
echo "idle CPU (5 s):          ${idle_cpu} %"
echo "concurrent getparam:     $answered of $count answered 200 in ${load_ms} ms (${rps} requests/s, Digest: two round trips each)"
echo "simulator CPU for them:  ${load_cpu_ms} ms (the rest of the wall time is curl's)"
echo "resident memory loaded:  $((rss_after / 1024)) MB"

status=0
(( rss_after < 300 * 1024 )) || { echo "FAIL: resident memory over 300 MB"; status=1; }
awk -v c="$idle_cpu" 'BEGIN {exit !(c < 1.0)}' || { echo "FAIL: idle CPU not near zero"; status=1; }
(( answered == count )) || { echo "FAIL: not every request was answered"; status=1; }
exit $status
