#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds once (clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors, precompiled Qt headers) and runs every test
# headless, the fuzz targets' corpora among them.
#
#   ./test.sh [CTEST ARGUMENTS...]     e.g. ./test.sh -LE slow   (skip the long real-time tests)
#
# NIMBREL_FUZZ_SECONDS=N also builds the libFuzzer targets with clang (scripts/fuzz.sh) and
# fuzzes each for N seconds.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh test

# The committed .clang-format, checked before anything is built.
./scripts/format.sh --check

build=build/test
# A build folder that an older ./test.sh made with gcc is made again from scratch.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang++$' "$build/CMakeCache.txt"; then
  rm -rf "$build"
fi
# clang compiles the tests in a third of gcc's time here: its precompiled headers are small and
# load lazily. (./run.sh and the benchmarks build with the system's default compiler.)
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DNIMBREL_SANITIZE=ON -DNIMBREL_WERROR=ON -DNIMBREL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Two more jobs than cores: the real-time tests mostly wait on the virtual meter.
ctest --test-dir "$build" --output-on-failure -j"$(($(nproc) + 2))" "$@"

fuzz_seconds=${NIMBREL_FUZZ_SECONDS:-0}
if [ "$fuzz_seconds" != 0 ]; then
  ./scripts/fuzz.sh -t "$fuzz_seconds" -b build/fuzz
fi
