#!/usr/bin/env bash
# xvfb-ensure.sh STATEFILE — prints a DISPLAY served by an Xvfb that this
# script started (and left running), starting one if the recorded one is gone.
set -euo pipefail
state="$1"
exec 8>"$state.lock"
flock 8
if [[ -f "$state" ]]; then
  d="$(cat "$state")"
  if xdpyinfo -display "$d" >/dev/null 2>&1 || [[ -e "/tmp/.X11-unix/X${d#:}" ]]; then
    echo "$d"; exit 0
  fi
fi
for n in $(seq 91 140); do
  if [[ ! -e "/tmp/.X${n}-lock" && ! -e "/tmp/.X11-unix/X${n}" ]]; then
    # The server outlives this script: it must not inherit the lock.
    nohup Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 8>&- &
    for _ in $(seq 1 50); do
      [[ -e "/tmp/.X11-unix/X${n}" ]] && break
      sleep 0.1
    done
    echo ":$n" > "$state"
    echo ":$n"; exit 0
  fi
done
echo "no free X display number" >&2
exit 1
