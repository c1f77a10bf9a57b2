#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer, warnings as
# errors) and runs each for a set time on its corpus, then prints executions and crashes.
#
#   scripts/fuzz.sh [-t SECONDS] [-b BUILD_DIR] [-n] [TARGET...]
#     -t  seconds per target (default 60)
#     -b  build directory (default build/fuzz)
#     -n  do not build, run what is there
#   TARGET  any of: fuzz_acquisition fuzz_loggerdownload fuzz_datafile fuzz_setlisting
#           fuzz_numbertext (default: all)
#
# New inputs go to BUILD_DIR/corpus/<target>/; the seeds in fuzz/corpus/<target>/ are only
# read. A crash leaves its input in BUILD_DIR/artifacts/ (rerun it with
# `BUILD_DIR/fuzz/<target> <file>`) and makes the script exit with 1.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=60
build=build/fuzz
do_build=1
while getopts "t:b:n" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    b) build=$OPTARG ;;
    n) do_build=0 ;;
    *) sed -n '2,15p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_acquisition fuzz_loggerdownload fuzz_datafile fuzz_setlisting fuzz_numbertext)
fi
case $build in /*) ;; *) build=$root/$build ;; esac

if [ "$do_build" = 1 ]; then
  command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed (scripts/deps.sh)" >&2; exit 1; }
  # -O1 keeps the targets fast enough to fuzz; Debug keeps Qt's assertions on.
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DNIMBREL_FUZZ=ON -DNIMBREL_BUILD_TESTS=OFF \
    -DNIMBREL_BUILD_BENCH=OFF -DNIMBREL_WERROR=ON >/dev/null || exit 1
  cmake --build "$build" --target "${targets[@]}" -j"$(nproc)" || exit 1
fi

export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="qt.qpa.*=false"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/artifacts" "$build/logs"

failed=0
printf '%-22s %12s %8s %8s\n' target executions exec/s crashes
for t in "${targets[@]}"; do
  exe=$build/fuzz/$t
  [ -x "$exe" ] || { echo "fuzz.sh: $exe is not built" >&2; failed=1; continue; }
  work=$build/corpus/$t
  mkdir -p "$work"
  seeds=()
  [ -d "$root/fuzz/corpus/$t" ] && seeds=("$root/fuzz/corpus/$t")
  log=$build/logs/$t.log
  # Structured inputs need their length from the start; file contents grow as they please, to
  # twice the part of a line the reader keeps (longer files come from repeating the content).
  limits=(-max_len=4096 -len_control=0)
  [ "$t" = fuzz_datafile ] && limits=(-max_len=8192)
  "$exe" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 "${limits[@]}" \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" "$work" "${seeds[@]}" \
    >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  crashes=0
  if [ $rc -ne 0 ]; then
    crashes=1
    failed=1
  fi
  printf '%-22s %12s %8s %8s\n' "$t" "${runs:-?}" "${speed:-?}" "$crashes"
  if [ $rc -ne 0 ]; then
    echo "---- $t failed (exit $rc); log: $log" >&2
    grep -E 'ERROR|FUZZ_CHECK|runtime error|Test unit written|deadly signal|SUMMARY' "$log" | head -20 >&2
  fi
done
exit $failed
