#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in a private prefix.
#   wine-run.sh [--prefix DIR] program.exe [args...]
# The prefix defaults to $ZT_WINEPREFIX or ./wineprefix.  When no X display
# is available, a virtual one (Xvfb) is started once and reused.
set -euo pipefail

prefix="${ZT_WINEPREFIX:-$PWD/wineprefix}"
if [[ "${1:-}" == "--prefix" ]]; then
  prefix="$2"; shift 2
fi
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH="${WINEARCH:-win64}"
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$(dirname "$prefix")"

if [[ -z "${DISPLAY:-}" ]]; then
  # One virtual display per prefix, started on demand.
  export DISPLAY
  DISPLAY="$("$here/xvfb-ensure.sh" "$prefix.display")"
fi

# Create the prefix once; concurrent test processes wait for the first.
if [[ ! -f "$prefix/.zt-ready" ]]; then
  (
    flock 9
    if [[ ! -f "$prefix/.zt-ready" ]]; then
      # The Wine server outlives this step: it must not inherit the lock.
      wineboot -i >/dev/null 2>&1 9>&- || true
      # Wine's own menu and tool-tip fonts need a Chinese fall-back, as
      # Windows has through font linking.
      for f in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
          /v "$f" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1 9>&- || true
      done
      wineserver -w 9>&- || true
      touch "$prefix/.zt-ready"
    fi
  ) 9>"$prefix.lock"
fi

exec wine "$@"
