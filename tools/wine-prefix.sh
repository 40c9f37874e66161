#!/usr/bin/env bash
# wine-prefix.sh [--dpi N] DIR — makes DIR a complete Wine prefix for the
# Windows programs built here, or checks that it still is one.
#
# --dpi N gives the prefix a display scaling of N dots per inch (144 is
# 150 %, 192 is 200 %): Wine reports it to every program as the system's
# and every monitor's dpi.  A prefix made at another dpi is made again.
#
# The prefix is made by "wineboot -i"; it counts as ready only once the Wine
# server has ended after it (everything written to disk), the Chinese font
# links are in its registry and the core system DLLs are in place.  Only then
# is DIR/.zt-ready written, with a list of the system files (DIR/.zt-files).
# A prefix without that mark (an interrupted creation), a damaged one (a
# system file missing or changed in size), or one made by another Wine build
# is deleted and made again.
#
# Concurrent callers wait for the first (lock DIR.lock beside the prefix).
# Every wait has a limit: on failure the script says what went wrong, leaves
# no Wine server of the prefix behind and exits non-zero.
#   ZT_WINE_PREFIX_TIMEOUT  seconds allowed for each step (default 600)
#   ZT_WINE_UNMANAGED=1     the prefix serves a virtual display without a
#                           window manager: Wine draws the window frames
#                           itself, and hiding a window does not wait two
#                           seconds for a manager that never answers
set -euo pipefail

dpi=""
if [[ "${1:-}" == --dpi ]]; then
  dpi="${2:-}"
  shift 2 || true
  if ! [[ "$dpi" =~ ^[1-9][0-9]{1,3}$ ]] || ((dpi < 48 || dpi > 480)); then
    echo "wine-prefix.sh: --dpi wants a number of dots per inch from 48 to 480" >&2
    exit 2
  fi
fi
if [[ $# -ne 1 || -z "$1" ]]; then
  echo "usage: wine-prefix.sh [--dpi N] DIR" >&2
  exit 2
fi
prefix="$1"
[[ "$prefix" == /* ]] || prefix="$PWD/$prefix"
limit="${ZT_WINE_PREFIX_TIMEOUT:-600}"

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH="${WINEARCH:-win64}"
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

marker="$prefix/.zt-ready"
say() { echo "wine-prefix: $*" >&2; }

for tool in wine wineboot wineserver flock timeout; do
  if ! command -v "$tool" >/dev/null; then
    say "'$tool' is not installed (scripts/install-deps.sh installs it)"
    exit 1
  fi
done

# What the mark records: the Wine build and the prefix's architecture.  A
# different Wine would update the prefix on its first start, in the middle
# of whatever was started; the prefix is made again instead.
# (ZT_WINE_INF names it where Wine is installed elsewhere.)
wine_inf=""
for f in ${ZT_WINE_INF:-} /usr/share/wine/wine.inf /usr/local/share/wine/wine.inf /opt/wine*/share/wine/wine.inf; do
  if [[ -f "$f" ]]; then wine_inf="$f"; break; fi
done
unmanaged="${ZT_WINE_UNMANAGED:-0}"
identity="$(wine --version 2>/dev/null || echo unknown) $WINEARCH"
if [[ "$unmanaged" == 1 ]]; then identity+=" unmanaged"; fi
if [[ -n "$dpi" ]]; then identity+=" dpi $dpi"; fi
if [[ -n "$wine_inf" ]]; then identity+=" $(stat -c %Y "$wine_inf")"; fi

# The system folders' files with their sizes, as recorded when the prefix
# was made.
manifest="$prefix/.zt-files"
system_files() {
  (cd "$prefix/drive_c/windows" 2>/dev/null &&
   find system32 syswow64 -maxdepth 1 -type f -printf '%p %s\n' 2>/dev/null | LC_ALL=C sort)
}
system_dirs=(system32)
if [[ "$WINEARCH" != win32 ]]; then system_dirs+=(syswow64); fi
core_dlls=(ntdll kernel32 kernelbase user32 gdi32 advapi32 comctl32 shell32 ole32 msvcrt)
# Wine's own menu and tool-tip fonts need a Chinese fall-back, as Windows
# has through font linking.  The program's two window faces are linked too:
# the prefix has neither, and so both are drawn in the linked face, with the
# same metrics, as Windows draws both faces with the same metrics.
link_faces=(Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "MS Sans Serif" "Microsoft Sans Serif" Arial)

# Prints the first problem found and fails, or succeeds silently.
check() {
  if [[ ! -f "$marker" ]]; then echo "it was never completed"; return 1; fi
  local made
  made="$(cat "$marker")"
  if [[ -z "$made" ]]; then echo "its mark records no complete creation"; return 1; fi
  if [[ "$made" != "$identity" ]]; then echo "it was made by another Wine ($made)"; return 1; fi
  # Wine updates a prefix on its next start when wine.inf changed.
  if [[ -n "$wine_inf" ]]; then
    local stamp
    stamp="$(tr -d ' \r\n' < "$prefix/.update-timestamp" 2>/dev/null || true)"
    if [[ "$stamp" != disable && "$stamp" != "$(stat -c %Y "$wine_inf")" ]]; then
      echo "Wine wants to update it"; return 1
    fi
  fi
  local f d lost
  for f in system.reg user.reg userdef.reg; do
    if [[ ! -s "$prefix/$f" ]]; then echo "$f is missing"; return 1; fi
  done
  for f in "${link_faces[@]}"; do
    if ! grep -F "\"$f\"=" "$prefix/system.reg" | grep -q 'wqy-microhei'; then
      echo "the font links are missing ($f)"; return 1
    fi
  done
  for d in "${system_dirs[@]}"; do
    for f in "${core_dlls[@]}"; do
      if [[ ! -s "$prefix/drive_c/windows/$d/$f.dll" ]]; then
        echo "windows/$d/$f.dll is missing"; return 1
      fi
    done
  done
  if [[ -n "$dpi" ]] && ! grep -qi "^\"LogPixels\"=dword:$(printf '%08x' "$dpi")\$" "$prefix/user.reg"; then
    echo "its display scaling is not $dpi dpi"; return 1
  fi
  if [[ ! -s "$manifest" ]]; then echo "its list of system files is missing"; return 1; fi
  lost="$(LC_ALL=C comm -23 "$manifest" <(system_files) | head -1)"
  if [[ -n "$lost" ]]; then echo "windows/${lost% *} is missing or damaged"; return 1; fi
  return 0
}

if check >/dev/null; then exit 0; fi

stop_server() { timeout 30 wineserver -k >/dev/null 2>&1 || true; }

# Runs a step with the time limit, in the background so that a signal to
# this script is handled at once; the step must not hold the lock, as the
# Wine server it starts outlives it.
step_log="" step_pid=""
step() {
  local what="$1" rc=0
  shift
  timeout "$limit" "$@" >"$step_log" 2>&1 9>&- &
  step_pid=$!
  wait "$step_pid" || rc=$?
  step_pid=""
  if [[ $rc -eq 0 ]]; then return 0; fi
  if [[ $rc -eq 124 ]]; then
    say "$what took over $limit s"
  else
    say "$what failed (exit $rc)"
  fi
  if [[ -s "$step_log" ]]; then tail -n 10 "$step_log" | sed 's/^/  /' >&2; fi
  return "$rc"
}

make_prefix() {
  stop_server
  rm -rf "$prefix"
  say "making the Wine prefix $prefix (this takes a minute or two)"
  step "wineboot -i" wineboot -i || return 1
  # The server ends a few seconds after its last program: then everything
  # wineboot did is on disk.
  step "waiting for the Wine server to end" wineserver -w || return 1
  local face
  for face in "${link_faces[@]}"; do
    step "adding the font link for $face" wine reg add \
      'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f || return 1
  done
  if [[ -n "$dpi" ]]; then
    step "setting the display scaling to $dpi dpi" wine reg add 'HKCU\Control Panel\Desktop' \
      /v LogPixels /t REG_DWORD /d "$dpi" /f || return 1
  fi
  if [[ "$unmanaged" == 1 ]]; then
    step "letting Wine draw the window frames" wine reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /d N /f || return 1
  fi
  step "waiting for the Wine server to end" wineserver -w || return 1
  system_files > "$manifest"
  echo "$identity" > "$marker.new"
  mv "$marker.new" "$marker"
  local problem
  if ! problem="$(check)"; then
    rm -f "$marker"
    say "the new prefix is not complete: $problem"
    return 1
  fi
  return 0
}

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
if ! flock -w "$limit" 9; then
  say "another process has been making $prefix for over $limit s"
  exit 1
fi
if problem="$(check)"; then exit 0; fi
if [[ -e "$prefix" ]]; then say "the Wine prefix $prefix is unusable ($problem): making it again"; fi
step_log="$(mktemp)"
# An interrupted creation leaves no server behind and no mark.
trap 'rm -f "$step_log"' EXIT
trap 'if [[ -n "$step_pid" ]]; then kill "$step_pid" 2>/dev/null || true; fi
      stop_server; rm -f "$marker" "$marker.new"; say "interrupted: the prefix is not ready"; exit 130' INT TERM HUP
if ! make_prefix; then
  stop_server
  rm -f "$marker"
  say "could not make the Wine prefix $prefix"
  exit 1
fi
