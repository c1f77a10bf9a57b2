#!/usr/bin/env bash
# Installs what is missing, builds (with AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNIMBREL_SANITIZE=ON -DNIMBREL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j2 "$@"

# The fuzz targets, built with clang and libFuzzer in build/fuzz, each run a few seconds on its
# corpus; a crash fails the run. NIMBREL_FUZZ_SECONDS sets the time per target (0 skips them).
fuzz_seconds=${NIMBREL_FUZZ_SECONDS:-4}
if [ "$fuzz_seconds" != 0 ]; then
  ./scripts/fuzz.sh -t "$fuzz_seconds" -b build/fuzz
fi
