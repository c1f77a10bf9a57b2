#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds once (with AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors) and runs every test headless, the fuzz
# targets' corpora among them.
#
#   ./test.sh [CTEST ARGUMENTS...]     e.g. ./test.sh -LE slow   (skip the long real-time tests)
#
# NIMBREL_FUZZ_SECONDS=N also builds the libFuzzer targets with clang (scripts/fuzz.sh) and
# fuzzes each for N seconds.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh

# The committed .clang-format, checked before anything is built.
./scripts/format.sh --check

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNIMBREL_SANITIZE=ON \
  -DNIMBREL_WERROR=ON -DNIMBREL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"

fuzz_seconds=${NIMBREL_FUZZ_SECONDS:-0}
if [ "$fuzz_seconds" != 0 ]; then
  ./scripts/fuzz.sh -t "$fuzz_seconds" -b build/fuzz
fi
