#!/usr/bin/env bash
# Installs what the build and the tests need on Debian/Ubuntu, if missing.
set -euo pipefail

SUDO=""
if [[ "$(id -u)" != 0 ]]; then SUDO="sudo"; fi

packages=(cmake ninja-build g++ googletest libbenchmark-dev
          mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          wine wine64 wine32:i386 xvfb x11-utils x11-xserver-utils x11-xkb-utils xdotool xcompmgr imagemagick
          fonts-wqy-microhei cpuid zip unzip git libxml2-dev libxml2-utils libpng-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" \
  || $SUDO apt-get install -y -qq "${missing[@]}"
