#!/usr/bin/env bash
# tools/xvfb-sweep.sh with real Xvfb servers started by tools/xvfb-ensure.sh,
# as scripts/test.sh uses them: a display there before the run stays, also
# when the run reuses it; those the run started, in any build's prefix, stop.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tools="$here/../../tools"
work="$(mktemp -d)"
build="$work/build"
mkdir -p "$build/win32" "$build/win64"
answers() { xdpyinfo -display "$1" >/dev/null 2>&1; }
trap 'for f in "$build"/*/*.display.pid; do [[ -f "$f" ]] && kill "$(cat "$f")" 2>/dev/null; done; rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

before="$("$tools/xvfb-ensure.sh" "$build/win32/wineprefix.display")" || fail "no display to begin with"
"$tools/xvfb-sweep.sh" note "$build" > "$work/before.list"
"$tools/xvfb-ensure.sh" "$build/win32/wineprefix.display" >/dev/null
started=()
for state in "$build/win32/wineprefix-dpi144.display" "$build/win64/wineprefix-dpi192.display"; do
  started+=("$("$tools/xvfb-ensure.sh" "$state")") || fail "$state: no display started"
done
"$tools/xvfb-sweep.sh" stop "$build" "$work/before.list"

answers "$before" || fail "the display that was there before ($before) was stopped"
for display in "${started[@]}"; do
  for _ in $(seq 1 50); do answers "$display" || break; sleep 0.1; done
  if answers "$display"; then fail "the display started since ($display) still runs"; fi
done
[[ -f "$build/win32/wineprefix-dpi144.display" ]] && fail "a stopped display is still recorded"

if ((failures)); then exit 1; fi
echo "all passed"
