#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual meter on COM1 and opens Nimbrel beside it.
# The meter stops when Nimbrel exits.
set -euo pipefail
cd "$(dirname "$0")"

# Without a display there is nothing to open: say so before building anything.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "No display found. Run Nimbrel under a virtual display:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' ./run.sh" >&2
  exit 1
fi

./scripts/deps.sh run
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIMBREL_BUILD_TESTS=OFF -DNIMBREL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

# The meter ends on SIGTERM and removes its COM1 link; it ignores the end of its input.
"$build/tools/meter/nimbrel-meter" --port COM1 "$@" </dev/null &
meter=$!
trap 'kill "$meter" 2>/dev/null || true; wait "$meter" 2>/dev/null || true' EXIT
# Wait until the meter has published its port.
for _ in $(seq 50); do
  kill -0 "$meter" 2>/dev/null || { echo "The virtual meter did not start." >&2; exit 1; }
  [ -L "${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -un)}/nimbrel/COM1" ] && break
  sleep 0.1
done
"$build/src/gui/app/nimbrel"
