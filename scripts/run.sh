#!/usr/bin/env bash
# Builds the monitor and runs it under Wine.
#   scripts/run.sh [ARGUMENTS FOR zettrim.exe]
#
# With a display, the monitor runs there until it is closed; the exit status
# is the program's.
#
# Without one, it starts a private virtual display with a compositor (so the
# translucency shows) and a desktop-like backdrop, runs the monitor with
# default settings in a fresh folder, waits for its main window, saves a
# picture of the window area (build/zettrim-screenshot.png), closes the
# program as a user would and prints the picture's path.  It exits 0 only
# when all of that worked; otherwise it says what went wrong and exits 1.
# Every wait has a limit (seconds, from the environment):
#   ZT_RUN_WINDOW_TIMEOUT  for the main window to appear (default 180)
#   ZT_RUN_CLOSE_TIMEOUT   for the program to end after it was asked (default 30)
#
# The Wine prefix (build/win32/wineprefix-run, apart from the tests' one) is
# complete before the program starts: tools/wine-prefix.sh makes it, and
# makes it again when it is half made or damaged.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
window_timeout="${ZT_RUN_WINDOW_TIMEOUT:-180}"
close_timeout="${ZT_RUN_CLOSE_TIMEOUT:-30}"

say() { echo "run.sh: $*" >&2; }
fail() {
  say "$*"
  exit 1
}

scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target zettrim zettrim-window -j "$(nproc 2>/dev/null || echo 2)"

build="$root/build/win32"
exe="$build/zettrim.exe"
helper="$build/zettrim-window.exe"
prefix="$build/wineprefix-run"
wine_run=("$root/tools/wine-run.sh" --prefix "$prefix")

if [[ -n "${DISPLAY:-}" ]]; then
  tools/wine-prefix.sh "$prefix" || fail "the Wine prefix $prefix could not be made"
  rc=0
  "${wine_run[@]}" "$exe" "$@" || rc=$?
  if [[ $rc -ne 0 ]]; then say "zettrim.exe ended with exit code $rc"; fi
  exit "$rc"
fi

# From here on the display is a virtual one of ours, without a window
# manager: the prefix is made for that (tools/wine-prefix.sh).
export ZT_WINE_UNMANAGED=1

started=$SECONDS
shot="$root/build/zettrim-screenshot.png"
rm -f "$shot"
work="$(mktemp -d)"
xvfb_pid="" compositor_pid="" backdrop_pid="" app_pid=""

cleanup() {
  if [[ -n "$app_pid" ]] && kill -0 "$app_pid" 2>/dev/null; then
    WINEPREFIX="$prefix" timeout 30 wineserver -k >/dev/null 2>&1 || true
  fi
  local pid
  for pid in "$backdrop_pid" "$compositor_pid" "$xvfb_pid"; do
    if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'say "interrupted"; exit 130' INT TERM HUP

for tool in Xvfb xdpyinfo xwininfo xcompmgr xdotool convert display import compare; do
  command -v "$tool" >/dev/null || fail "'$tool' is not installed (scripts/install-deps.sh installs it)"
done

# A private virtual display: the first free number whose server answers.
W=1280 H=720
display=""
for n in $(seq 140 199); do
  [[ -e "/tmp/.X$n-lock" || -e "/tmp/.X11-unix/X$n" ]] && continue
  Xvfb ":$n" -screen 0 "${W}x${H}x24" -nolisten tcp +extension Composite >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    if xdpyinfo -display ":$n" >/dev/null 2>&1; then display=":$n"; break; fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [[ -n "$display" ]] && break
  kill "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
done
[[ -n "$display" ]] || fail "could not start a virtual display (Xvfb)"
export DISPLAY="$display"

# A compositor, so the window's translucency and colour key show, and a
# desktop-like backdrop for them to show against.
xcompmgr -n >/dev/null 2>&1 &
compositor_pid=$!
convert -size "${W}x${H}" gradient:'#1b2735-#3e5c7a' -fill '#2f4a66' -draw "rectangle 0,520 $W,560" \
  "$work/backdrop.png"
display -geometry "${W}x${H}+0+0" -backdrop "$work/backdrop.png" >/dev/null 2>&1 &
backdrop_pid=$!
backdrop_shown=0
for _ in $(seq 1 100); do
  if xwininfo -name Backdrop 2>/dev/null | grep -q IsViewable; then backdrop_shown=1; break; fi
  kill -0 "$backdrop_pid" 2>/dev/null || break
  sleep 0.1
done
[[ $backdrop_shown == 1 ]] || fail "the backdrop did not appear on the virtual display"
kill -0 "$compositor_pid" 2>/dev/null || fail "the compositor (xcompmgr) did not start"

tools/wine-prefix.sh "$prefix" || fail "the Wine prefix $prefix could not be made"

# The desktop before the program, to tell a window that shows from one
# that does not.
sleep 0.5
import -window root "$work/before.png"

# A fresh folder: default settings, nothing left from an earlier run.
mkdir "$work/app"
cp "$exe" "$build/History.txt" "$build/Copyrights.txt" "$work/app/"
(cd "$work/app" && WINEDEBUG="${WINEDEBUG:--all,err+module}" exec "${wine_run[@]}" "$work/app/zettrim.exe" "$@") \
  >"$work/program.log" 2>&1 &
app_pid=$!

program_output() {
  if [[ -s "$work/program.log" ]]; then
    echo "What Wine printed:" >&2
    tail -n 15 "$work/program.log" | sed 's/^/  /' >&2
  fi
}

# The main window, asked for inside Wine until it is visible.
deadline=$((SECONDS + window_timeout))
rect=""
while [[ -z "$rect" ]]; do
  if ! kill -0 "$app_pid" 2>/dev/null; then
    rc=0
    wait "$app_pid" || rc=$?
    app_pid=""
    say "zettrim.exe ended (exit code $rc) before its main window appeared."
    program_output
    fail "the program could not run: see above; the Wine prefix is $prefix"
  fi
  if ((SECONDS >= deadline)); then
    program_output
    fail "zettrim.exe started but showed no main window within $window_timeout s"
  fi
  rect="$(timeout 60 "${wine_run[@]}" "$helper" wait 2 2>/dev/null | tr -d '\r')" || rect=""
  [[ "$rect" =~ ^-?[0-9]+\ -?[0-9]+\ -?[0-9]+\ -?[0-9]+$ ]] || rect=""
done
read -r left top right bottom <<<"$rect"
echo "Main window at $left,$top, $((right - left)) x $((bottom - top)) pixels, after $((SECONDS - started)) s."

# The splash text gives way to the graph after five seconds; a few samples
# later the mouse passes over the window to wake its title controls.
sleep 7
cx=$(((left + right) / 2)) cy=$(((top + bottom) / 2))
for i in 1 2 3 4 5 6; do
  xdotool mousemove $((cx + i)) $((cy + i))
  sleep 0.1
done
sleep 0.3
kill -0 "$app_pid" 2>/dev/null || fail "zettrim.exe ended while it was being photographed"
import -window root "$work/after.png"

# The window area with a margin, kept on the screen.
m=16
x0=$((left - m < 0 ? 0 : left - m)) y0=$((top - m < 0 ? 0 : top - m))
x1=$((right + m > W ? W : right + m)) y1=$((bottom + m > H ? H : bottom + m))
((x1 > x0 && y1 > y0)) || fail "the main window ($rect) is not on the screen"
crop="$((x1 - x0))x$((y1 - y0))+$x0+$y0"
convert "$work/after.png" -crop "$crop" +repage "$shot"
convert "$work/before.png" -crop "$crop" +repage "$work/before-crop.png"

# A window that drew nothing leaves the backdrop as it was.
changed="$(compare -fuzz 5% -metric AE "$work/before-crop.png" "$shot" null: 2>&1 || true)"
changed="${changed%% *}"
if ! [[ "$changed" =~ ^[0-9]+$ ]] || ((changed < 200)); then
  mv "$shot" "$root/build/zettrim-screenshot-blank.png"
  fail "the window area shows nothing of the monitor (${changed:-?} pixels differ from the bare desktop); picture kept as build/zettrim-screenshot-blank.png"
fi

# Closed as a user closes it: WM_CLOSE to the main window.
timeout $((close_timeout + 60)) "${wine_run[@]}" "$helper" close "$close_timeout" >/dev/null 2>&1 ||
  fail "zettrim.exe could not be asked to close, or its window stayed"
deadline=$((SECONDS + close_timeout))
while kill -0 "$app_pid" 2>/dev/null; do
  ((SECONDS < deadline)) || fail "zettrim.exe did not end within $close_timeout s of closing its window"
  sleep 0.2
done
rc=0
wait "$app_pid" || rc=$?
app_pid=""
((rc == 0)) || { program_output; fail "zettrim.exe ended with exit code $rc after it was closed"; }

echo "No display here: ran the monitor on a virtual display ($display) for $((SECONDS - started)) s and closed it."
echo "Screenshot: $shot"
