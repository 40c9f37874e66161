#!/usr/bin/env bash
# Builds the monitor and runs it (under Wine on Linux).  Without a display it
# starts a virtual one, runs the monitor for a few seconds and saves a
# screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target zettrim -j "$(nproc 2>/dev/null || echo 2)"

exe="$root/build/win32/zettrim.exe"
prefix="$root/build/win32/wineprefix"

if [[ -n "${DISPLAY:-}" ]]; then
  exec tools/wine-run.sh --prefix "$prefix" "$exe" "$@"
fi

shot="$root/build/zettrim-screenshot.png"
display="$(tools/xvfb-ensure.sh "$prefix.display")"
export DISPLAY="$display"
# A desktop-like background so translucency is visible.
xsetroot -solid '#3a6ea5' 2>/dev/null || true
tools/wine-run.sh --prefix "$prefix" "$exe" "$@" &
pid=$!
sleep 8
import -window root "$shot"
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "No display here: ran the monitor on a virtual display ($display) for a few seconds."
echo "Screenshot: $shot"
