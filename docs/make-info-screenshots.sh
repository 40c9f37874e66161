#!/usr/bin/env bash
# Takes the two pictures of the CPU information window in this folder: runs
# the Windows build under Wine on a private virtual display, opens the
# window with F6 and crops it, once on each tab.
#   docs/make-info-screenshots.sh BUILD_DIR [WINE_FONTS]
# Needs: Xvfb, xcompmgr, ImageMagick, xdotool, wine, and Wine's own fonts
# (the fonts-wine package: Tahoma, which the window chooses as on Windows,
# and Marlett for the caption buttons), found in WINE_FONTS, by default
# /usr/share/wine/fonts.  No window manager runs, so Wine draws the caption
# and border itself (Managed=N), in a prefix of its own.
set -euo pipefail
build=$(cd "$1" && pwd)
fonts=${2:-/usr/share/wine/fonts}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
prefix=$build/screenshot-wineprefix-info
disp=:$((150 + RANDOM % 50))
W=1280; H=720

for f in tahoma.ttf marlett.ttf; do
  [[ -f $fonts/$f ]] || { echo "missing $fonts/$f (Wine's fonts, package fonts-wine)" >&2; exit 1; }
done

Xvfb $disp -screen 0 ${W}x${H}x24 -nolisten tcp +extension Composite >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=$disp
xcompmgr -n >/dev/null 2>&1 &
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $prefix/.zt-ready ]]; then
  wineboot -i >/dev/null 2>&1; wineserver -w
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # Chinese text falls back to a CJK font, as Windows does through font linking.
  for f in Tahoma Arial "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$f" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  cp "$fonts/tahoma.ttf" "$fonts/marlett.ttf" "$prefix/drive_c/windows/Fonts/"
  wineserver -w
  touch "$prefix/.zt-ready"
fi

convert -size ${W}x${H} gradient:'#fdfdfd-#cfdff0' "$work/light.png"
display -geometry ${W}x${H}+0+0 -backdrop "$work/light.png" 2>/dev/null &
backdrop=$!
sleep 2
mkdir -p "$work/run"
cp "$build/zettrim.exe" "$build"/*.txt "$work/run/"
printf "[General]\r\nFirstLaunch=1\r\nLanguage=zh-CN\r\n" > "$work/run/zettrim.ini"
(cd "$work/run" && wine zettrim.exe >/dev/null 2>&1 &)
sleep 6

# F6 to the main window opens the information window, centred.
main=$(xdotool search --name '^Zettrim$' | head -1)
xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool windowfocus --sync "$main"
sleep 0.5
xdotool key F6
sleep 3
info=$(xdotool search --name 'CPU信息' | head -1)
eval "$(xdotool getwindowgeometry --shell "$info")"
crop=${WIDTH}x${HEIGHT}+${X}+${Y}
import -window root "$work/features.png"
convert "$work/features.png" -crop "$crop" +repage "$here/cpu-info-features.png"
# The second tab, and the first processor's node, whose page measures the clock.
xdotool mousemove $((X + 127)) $((Y + 43)) click 1
sleep 1
xdotool mousemove $((X + 73)) $((Y + 93)) click 1
sleep 2
import -window root "$work/explorer.png"
convert "$work/explorer.png" -crop "$crop" +repage "$here/cpu-info-explorer.png"
wineserver -k || true
kill $backdrop 2>/dev/null || true
echo "cpu-info-features.png and cpu-info-explorer.png written to $here"
