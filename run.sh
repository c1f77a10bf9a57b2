#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual meter on COM1 and opens Nimbrel beside it.
# The meter stops when Nimbrel exits.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIMBREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "No display found. Run Nimbrel under a virtual display:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' ./run.sh" >&2
  exit 1
fi

fifo=$(mktemp -u)
mkfifo "$fifo"
# The meter reads its commands from the fifo; keeping a writer open stops it from seeing the end.
"$build/tools/meter/nimbrel-meter" --port COM1 "$@" <"$fifo" &
meter=$!
exec 3>"$fifo"
rm -f "$fifo"
trap 'echo quit >&3 2>/dev/null || true; kill "$meter" 2>/dev/null || true; wait "$meter" 2>/dev/null || true' EXIT
sleep 0.3
"$build/src/app/nimbrel"
