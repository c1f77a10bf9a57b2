#!/usr/bin/env bash
# Installs the Debian packages Nimbrel needs, only those that are missing.
set -euo pipefail

packages=(qt6-base-dev qt6-serialport-dev qt6-svg-dev libbenchmark-dev cmake ninja-build g++ clang libclang-rt-14-dev lld
          clang-format-14
          fonts-dejavu-core xvfb xauth x11-utils xdotool poppler-utils imagemagick)
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
