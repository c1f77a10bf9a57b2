#!/usr/bin/env bash
# CPU of the running program beside the streaming virtual meter, as a share of one core, from
# /proc/<pid>/stat over a measuring window (default 30 s). Runs under Xvfb; the port window is
# answered with xdotool (Return takes the default COM1).
# Usage: bench/cpu_live.sh [build dir] [seconds]
set -euo pipefail
build=${1:-build/release}
seconds=${2:-30}
cd "$(dirname "$0")/.."
if [ -z "${INSIDE_XVFB:-}" ]; then
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$seconds"
fi
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime
chmod 700 "$runtime"
"$build/tools/meter/nimbrel-meter" --port COM1 </dev/null >"$runtime/meter.out" 2>/dev/null &
meter=$!
trap 'kill $meter $app 2>/dev/null || true; rm -rf "$runtime"' EXIT
for _ in $(seq 50); do [ -s "$runtime/meter.out" ] && break; sleep 0.1; done
"$build/src/gui/app/nimbrel" >/dev/null 2>&1 &
app=$!
win=""
for _ in $(seq 50); do win=$(xdotool search --onlyvisible --name "COM Port" 2>/dev/null | head -1) && [ -n "$win" ] && break; sleep 0.1; done
xdotool windowfocus --sync "$win" key Return
sleep 3 # let the first readings arrive
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$app/stat"; }
start_cpu=$(cpu); start=$(date +%s.%N)
sleep "$seconds"
end_cpu=$(cpu); end=$(date +%s.%N)
awk -v c0="$start_cpu" -v c1="$end_cpu" -v t0="$start" -v t1="$end" -v hz="$ticks" \
  'BEGIN { s = (c1 - c0) / hz; w = t1 - t0; printf "cpu %.2f s over %.1f s wall: %.2f %% of one core\n", s, w, 100 * s / w }'
