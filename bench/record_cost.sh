#!/usr/bin/env bash
# What nimbrel-record costs while the virtual meter streams and it records every second: the
# time from exec to its first status line (the port open), its CPU as a share of one core from
# /proc/<pid>/stat over the measuring window, its resident memory (VmRSS) sampled through the
# window and its peak (VmHWM), and whether it links the widget library.
# Usage: bench/record_cost.sh [build dir] [seconds]   (a Release build, default build/bench, 60 s)
# Targets: start to port open within 0.3 s, at most 0.2 % of one core, at most 15 MB resident
# and no growth over the window.
set -euo pipefail
build=${1:-build/bench}
seconds=${2:-60}
cd "$(dirname "$0")/.."
record="$build/tools/record/nimbrel-record"
meter="$build/tools/meter/nimbrel-meter"
[ -x "$record" ] && [ -x "$meter" ] || { echo "build nimbrel-record and nimbrel-meter in $build" >&2; exit 2; }

runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime
chmod 700 "$runtime"
meter_pid="" record_pid=""
trap 'kill $meter_pid $record_pid 2>/dev/null || true; rm -rf "$runtime"' EXIT
"$meter" --port COM1 --seed 1 </dev/null >"$runtime/meter.out" 2>/dev/null &
meter_pid=$!
for _ in $(seq 100); do [ -s "$runtime/meter.out" ] && break; sleep 0.05; done

# Start to port open: from just before exec to the line saying the port is open.
start=$(date +%s%N)
"$record" --port COM1 --interval 1 "$runtime/cost.nblg" 2>"$runtime/record.err" &
record_pid=$!
until grep -q " open, waiting" "$runtime/record.err" 2>/dev/null; do
  kill -0 "$record_pid" 2>/dev/null || { cat "$runtime/record.err" >&2; exit 1; }
  sleep 0.002
done
opened=$(date +%s%N)
echo "start to port open: $(( (opened - start) / 1000000 )) ms"

sleep 5 # recording under way
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$record_pid/stat"; }
rss() { awk '/^VmRSS/ {print $2}' "/proc/$record_pid/status"; }
start_cpu=$(cpu); t0=$(date +%s.%N)
samples=()
step=$(( seconds / 6 )); [ "$step" -ge 1 ] || step=1
for (( waited = 0; waited < seconds; waited += step )); do
  samples+=("$(rss)")
  sleep "$step"
done
end_cpu=$(cpu); t1=$(date +%s.%N)
samples+=("$(rss)")
hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$record_pid/status")
awk -v c0="$start_cpu" -v c1="$end_cpu" -v t0="$t0" -v t1="$t1" -v hz="$ticks" \
  'BEGIN { s = (c1 - c0) / hz; w = t1 - t0; printf "cpu %.2f s over %.1f s wall: %.3f %% of one core\n", s, w, 100 * s / w }'
echo "VmRSS (kB) through the window: ${samples[*]}"
echo "VmHWM: $hwm kB"
# Anonymous memory is the program's own; file pages are the shared libraries it maps.
grep -E "^(RssAnon|RssFile):" "/proc/$record_pid/status" | tr -s ' \t' ' '
kill -TERM "$record_pid"; wait "$record_pid" || true
record_pid=""
records=$(( $(wc -l <"$runtime/cost.nblg") - 1 ))
echo "records written: $records"
echo "libraries named Widgets in ldd: $(ldd "$record" | grep -c Widgets || true)"
