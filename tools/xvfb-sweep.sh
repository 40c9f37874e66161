#!/usr/bin/env bash
# xvfb-sweep.sh note DIR > LIST
# xvfb-sweep.sh stop DIR LIST
# The virtual displays tools/xvfb-ensure.sh records under DIR, one folder
# down (DIR/*/NAME.display with its server's NAME.display.pid, as the Wine
# prefixes of the builds keep them): "note" lists those that answer now;
# "stop" stops every recorded one that LIST does not name with the same
# server, and forgets it.  A script that notes when it begins and stops when
# it ends leaves running exactly the displays that were there before it,
# whoever among its steps started the others.
set -euo pipefail
mode="${1:-}" dir="${2:-}" list="${3:-}"
case "$mode" in
  note)
    for pid_file in "$dir"/*/*.display.pid; do
      [[ -f "$pid_file" ]] || continue
      pid="$(cat "$pid_file" 2>/dev/null || true)"
      if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null &&
         xdpyinfo -display "$(cat "${pid_file%.pid}" 2>/dev/null)" >/dev/null 2>&1; then
        echo "$pid $pid_file"
      fi
    done
    ;;
  stop)
    [[ -f "$list" ]] || { echo "xvfb-sweep: no list of displays to keep: $list" >&2; exit 2; }
    # A display still being started is recorded before its lock is let go.
    for lock in "$dir"/*/*.display.lock; do
      if [[ -f "$lock" ]]; then flock -w 30 "$lock" true 2>/dev/null || true; fi
    done
    for pid_file in "$dir"/*/*.display.pid; do
      [[ -f "$pid_file" ]] || continue
      pid="$(cat "$pid_file" 2>/dev/null || true)"
      if [[ -n "$pid" ]] && grep -qxF "$pid $pid_file" "$list"; then continue; fi
      if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
      rm -f "${pid_file%.pid}" "$pid_file"
    done
    ;;
  *)
    echo "usage: xvfb-sweep.sh note DIR > LIST | xvfb-sweep.sh stop DIR LIST" >&2
    exit 2
    ;;
esac
