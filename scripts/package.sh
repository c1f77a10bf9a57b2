#!/usr/bin/env bash
# Builds the Debian package nimbrel_<version>_<architecture>.deb: a Release build with gcc and
# the prefix /usr, then `cpack -G DEB`. The package's path is the last line printed.
#
#   scripts/package.sh [-b BUILD_FOLDER]      (default build/package)
#   sudo apt-get install ./build/package/nimbrel_1.0.0_amd64.deb
#
# Besides what the build needs, it takes dpkg-shlibdeps (dpkg-dev), file, help2man and gzip:
# scripts/deps.sh test installs them.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/package
while getopts b: option; do
  case $option in
    b) build=$OPTARG ;;
    *) echo "usage: scripts/package.sh [-b BUILD_FOLDER]" >&2; exit 2 ;;
  esac
done

missing=()
for tool in cmake cpack ninja g++ dpkg-deb dpkg-shlibdeps file help2man gzip; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "package.sh: ${missing[*]} not found (scripts/deps.sh test installs them)" >&2
  exit 1
fi

# A folder configured with another compiler is made again from scratch.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*g++$' "$build/CMakeCache.txt"; then
  rm -rf "$build"
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DNIMBREL_BUILD_TESTS=OFF -DNIMBREL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/nimbrel_*.deb
(cd "$build" && cpack -G DEB)
shopt -s nullglob
debs=("$build"/nimbrel_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "package.sh: cpack made no package in $build" >&2; exit 1; }
echo "${debs[0]}"
