#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in a private prefix.
#   wine-run.sh [--prefix DIR] [--dpi N] program.exe [args...]
# The prefix defaults to $ZT_WINEPREFIX or ./wineprefix; --dpi N makes it a
# prefix at that display scaling (tools/wine-prefix.sh).  When no X display
# is available, a virtual one (Xvfb) is started once and reused.
set -euo pipefail

prefix="${ZT_WINEPREFIX:-$PWD/wineprefix}"
if [[ "${1:-}" == "--prefix" ]]; then
  prefix="$2"; shift 2
fi
dpi_args=()
if [[ "${1:-}" == "--dpi" ]]; then
  dpi_args=(--dpi "$2"); shift 2
fi
# Wine takes only an absolute prefix.
[[ "$prefix" == /* ]] || prefix="$PWD/$prefix"
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH="${WINEARCH:-win64}"
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$(dirname "$prefix")"

if [[ -z "${DISPLAY:-}" ]]; then
  # One virtual display per prefix, started on demand; no window manager
  # runs on it.
  export DISPLAY
  DISPLAY="$("$here/xvfb-ensure.sh" "$prefix.display")"
  export ZT_WINE_UNMANAGED=1
fi

# The prefix is complete before anything starts in it (made once; a
# half-made or damaged one is made again).
"$here/wine-prefix.sh" "${dpi_args[@]}" "$prefix"

exec wine "$@"
