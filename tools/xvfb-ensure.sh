#!/usr/bin/env bash
# xvfb-ensure.sh STATEFILE — prints a DISPLAY served by an Xvfb that this
# script started (and left running), starting one if the recorded one no
# longer answers.  STATEFILE holds the display, STATEFILE.pid the server's
# process id (for whoever stops it).
set -euo pipefail
state="$1"
exec 8>"$state.lock"
if ! flock -w 120 8; then
  echo "xvfb-ensure: $state.lock is held by another process for over 120 s" >&2
  exit 1
fi
if [[ -f "$state" ]]; then
  d="$(cat "$state")"
  if xdpyinfo -display "$d" >/dev/null 2>&1; then
    echo "$d"; exit 0
  fi
fi
rm -f "$state" "$state.pid"
for n in $(seq 91 140); do
  if [[ ! -e "/tmp/.X${n}-lock" && ! -e "/tmp/.X11-unix/X${n}" ]]; then
    # The server outlives this script: it must not inherit the lock.
    nohup Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 8>&- &
    pid=$!
    # Up when it answers; another process may have taken the number first.
    for _ in $(seq 1 100); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        echo "$pid" > "$state.pid"
        echo ":$n" > "$state"
        echo ":$n"; exit 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
  fi
done
echo "xvfb-ensure: could not start a virtual display (Xvfb)" >&2
exit 1
