#!/usr/bin/env bash
# Installs the Debian packages Nimbrel needs, only those that are missing.
#
#   scripts/deps.sh run    what ./run.sh needs: build Nimbrel and run it (the default)
#   scripts/deps.sh test   that and what ./test.sh adds: clang with the sanitizers' runtime and
#                          lld, clang-format, a virtual display and the tools that look at it,
#                          PDF and picture tools, Google Benchmark, and the tools that make and
#                          check the Debian package and its metadata (scripts/package.sh)
set -euo pipefail

run_packages=(qt6-base-dev qt6-serialport-dev qt6-svg-dev cmake ninja-build g++ fonts-dejavu-core)
test_packages=(clang libclang-rt-14-dev lld clang-format-14
               xvfb xauth x11-utils xdotool poppler-utils imagemagick libbenchmark-dev
               dpkg-dev file help2man appstream desktop-file-utils)

case ${1:-run} in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: scripts/deps.sh [run|test]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  SUDO=sudo
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
