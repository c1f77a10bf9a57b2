#!/usr/bin/env bash
# The long runs: a day of operation in simulated time (recording every second, the live list,
# the real-time graph and a logger dump every hour), then a logger dump cut at every byte offset
# against the virtual meter. Figures go to standard output.
#   scripts/soak.sh [hours]        (default 24)
set -euo pipefail
cd "$(dirname "$0")/.."
hours=${1:-24}
build=build/soak
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIMBREL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target test_soak test_faultdump
export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES='qt.qpa.*=false'
export QTEST_FUNCTION_TIMEOUT=7200000 # a day takes minutes
echo "== soak: $hours simulated hours"
time NIMBREL_SOAK_HOURS="$hours" "$build/tests/soak/test_soak" 2>&1 | grep -E 'soak:|PASS|FAIL|Totals|Loc:'
echo "== logger dump stopped at every byte offset"
time NIMBREL_FAULT_ALL_OFFSETS=1 "$build/tests/faults/test_faultdump" 2>&1 | grep -E 'stop after|PASS|FAIL|Totals|Loc:'
