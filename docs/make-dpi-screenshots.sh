#!/usr/bin/env bash
# Takes the pictures of the five secondary windows at a display scaling:
# the settings dialog (each tab), the statistics window, the history window
# (a day of kept records), the CPU information
# window (each tab) and the about window, in a Wine prefix of their own whose
# system dpi is DPI (Wine reports it to the program as the monitor's).
#   docs/make-dpi-screenshots.sh BUILD_DIR DPI [SUFFIX] [OUT_DIR]
# SUFFIX names the pictures (settings-general-SUFFIX.png, ...); by default
# the scaling in per cent (150 for 144 dpi, 200 for 192).  OUT_DIR defaults
# to this folder.  The pictures are the windows' own pixels, uncropped and
# unscaled, frame included.
# Needs: Xvfb, ImageMagick, xdotool, wine, Wine's fonts (fonts-wine: Tahoma
# for the information window, Marlett for the caption buttons).
# ZT_SHOT_LANGUAGE=en takes them in English (Language=en-US); give them a
# SUFFIX of their own (en, 150-en).  The captions are drawn in a face with
# Chinese glyphs (WenQuanYi Micro Hei), so a Chinese title reads as it does
# on Windows rather than as boxes.
set -euo pipefail
build=$(cd "$1" && pwd)
dpi=$2
suffix=${3:-$((dpi * 100 / 96))}
here=$(cd "$(dirname "$0")" && pwd)
out=$(cd "${4:-$here}" && pwd)
fonts=${ZT_WINE_FONTS:-/usr/share/wine/fonts}
work=$(mktemp -d)
prefix=$build/screenshot-wineprefix-dpi$dpi
disp=:$((200 + RANDOM % 50))
W=1920; H=1200

for f in tahoma.ttf tahomabd.ttf marlett.ttf; do
  [[ -f $fonts/$f ]] || { echo "missing $fonts/$f (Wine's fonts, package fonts-wine)" >&2; exit 1; }
done

Xvfb $disp -screen 0 ${W}x${H}x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=$disp
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No window manager: Wine draws the frames itself (ZT_WINE_UNMANAGED).
ZT_WINE_UNMANAGED=1 "$here/../tools/wine-prefix.sh" "$prefix"
cp "$fonts/tahoma.ttf" "$fonts/tahomabd.ttf" "$fonts/marlett.ttf" "$prefix/drive_c/windows/Fonts/"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
"$here/caption-font.sh" "$dpi"
wineserver -w
language="Language=zh-CN\r\n" settings=设置 statistics=统计 history=历史 about=关于 info='CPU信息'
if [[ ${ZT_SHOT_LANGUAGE:-} == en ]]; then
  language="Language=en-US\r\n" settings=Settings statistics=Statistics history=History about=About \
    info='CPU information'
fi

convert -size ${W}x${H} gradient:'#fdfdfd-#cfdff0' "$work/light.png"
display -geometry ${W}x${H}+0+0 -backdrop "$work/light.png" 2>/dev/null &
backdrop=$!
sleep 2

# open KEY TITLE [SETTINGS]: starts the program afresh (with these further
# [General] settings; with any, beside a day of kept history), and the key
# to its main window opens the window TITLE; the window's rectangle on the
# screen is left in $crop and its id in $win.
open() {
  rm -rf "$work/run"
  mkdir -p "$work/run"
  cp "$build/zettrim.exe" "$build"/*.txt "$work/run/"
  printf "[General]\r\nFirstLaunch=1\r\n$language${3:-}" > "$work/run/zettrim.ini"
  if [[ -n "${3:-}" ]]; then "$here/make-history-file.py" "$work/run/zettrim.history.csv"; fi
  (cd "$work/run" && wine zettrim.exe >/dev/null 2>&1 &)
  sleep 7
  xdotool search --name '^Zettrim$' windowfocus
  sleep 0.5
  xdotool key "$1"
  sleep 4
  win=$(xdotool search --name "^$2\$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$win")"
  crop=${WIDTH}x${HEIGHT}+${X}+${Y}
}
shoot() {
  import -window root "$work/shot.png"
  convert "$work/shot.png" -crop "$crop" +repage "$out/$1-$suffix.png"
}
close() { wineserver -k || true; sleep 1; }

open F4 "$settings"
for name in general display colors extended; do
  shoot "settings-$name"
  xdotool key ctrl+Tab
  sleep 1
done
close
# Some seconds of samples first.
open F5 "$statistics"
sleep 6
shoot statistics
close
# The day's view of a kept file, the pointer on the graph for a readout.
open F7 "$history" "KeepHistory=1\r\n"
xdotool key ctrl+Tab
sleep 1
xdotool mousemove $((X + WIDTH * 62 / 100)) $((Y + HEIGHT * 45 / 100))
sleep 0.3
xdotool mousemove $((X + WIDTH * 62 / 100 + 1)) $((Y + HEIGHT * 45 / 100))
sleep 1.5
shoot history
close
open shift+F1 "$about"
shoot about
close
open F6 "$info"
shoot cpu-info-features
# The second tab, clicked: the caption and the tabs grow with the scaling.
xdotool mousemove $((X + 3 + 100 * dpi / 96)) $((Y + 5 + 37 * dpi / 96)) click 1
sleep 2
shoot cpu-info-explorer
close
kill $backdrop 2>/dev/null || true
echo "pictures at $dpi dpi written to $out"
