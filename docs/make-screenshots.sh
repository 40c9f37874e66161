#!/usr/bin/env bash
# Takes the screenshots in this folder: runs the Windows build under Wine on
# a private virtual display (Xvfb with the xcompmgr compositor, so the
# translucency shows), over a dark and a light backdrop, and crops the window.
#   docs/make-screenshots.sh BUILD_DIR [NATIVE_BUILD_DIR]
# Needs: Xvfb, xcompmgr, ImageMagick, xdotool, wine.  BUILD_DIR holds
# zettrim.exe; NATIVE_BUILD_DIR (optional) holds tray_sheet.
# ZT_SHOTS="statistics about" takes only the named shots (window-dark,
# window-light, window-more, ..., statistics, history, about, settings, cpu-info, dialogs-150,
# dialogs-200).  The caption
# buttons of the dialogs need Wine's Marlett font: taken from fonts-wine
# when installed, or from the file named by ZT_MARLETT.
# ZT_SHOT_LANGUAGE=en takes them in English (Language=en-US), named with
# "-en" (menu-en.png, menu-150-en.png, ...); the windows of the menu are
# taken in English by make-dpi-screenshots.sh.
# ZT_SHOT_DPI=144 (or 192) takes them at that display scaling, in a prefix
# of that dpi, named with the scaling (window-dark-150.png, menu-200.png,
# ...) and kept at their real pixels instead of enlarged; tray-icons then
# shows the pictures at the notification area's size for that scaling.
set -euo pipefail
build=$(cd "$1" && pwd)
native=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
dpi=${ZT_SHOT_DPI:-96}
prefix=$build/screenshot-wineprefix
suffix="" enlarge="-scale 200%" dpi_args=()
if [[ $dpi != 96 ]]; then
  prefix=$build/screenshot-wineprefix-dpi$dpi
  suffix="-$((dpi * 100 / 96))" enlarge="" dpi_args=(--dpi "$dpi")
fi
language=zh-CN
if [[ ${ZT_SHOT_LANGUAGE:-} == en ]]; then suffix+="-en" language=en-US; fi
# A design figure at this dpi, rounded as the program rounds it.
s() { echo $(((2 * $1 * dpi + 96) / 192)); }
disp=:$((150 + RANDOM % 50))
W=1280; H=720

Xvfb $disp -screen 0 ${W}x${H}x24 -nolisten tcp +extension Composite >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=$disp
xcompmgr -n >/dev/null 2>&1 &
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A complete prefix (with the Chinese font links) before anything starts.
"$here/../tools/wine-prefix.sh" "${dpi_args[@]}" "$prefix"

convert -size ${W}x${H} gradient:'#1b2735-#3e5c7a' -fill '#2f4a66' -draw "rectangle 0,300 $W,330" \
  -fill '#5a7fa3' -font DejaVu-Sans -pointsize 40 -draw "text 420,380 'dark desktop'" "$work/dark.png"
convert -size ${W}x${H} gradient:'#fdfdfd-#cfdff0' -fill '#e8c070' -draw "rectangle 0,300 $W,330" \
  -fill '#8090a0' -font DejaVu-Sans -pointsize 40 -draw "text 420,380 'light desktop'" "$work/light.png"

# The window opens centred: 250 x 105 at (515, 307) on 1280 x 720 (at
# 96 dpi; scaled, its real size centred the same way).
win_w=$(s 250) win_h=$(s 105)
win_x=$(((W - win_w) / 2)) win_y=$(((H - win_h) / 2))
# The mouse wakes the title controls only over what the window draws (the
# key colour lets it through): scaled, it runs down the gauge's frame, there
# whatever the load.
if [[ $dpi == 96 ]]; then
  wiggle="for i in 1 2 3 4 5 6; do xdotool mousemove \$((735+i)) \$((360+i)); sleep 0.1; done; sleep 0.3"
else
  wiggle="for i in 1 2 3 4 5 6; do xdotool mousemove $((win_x + win_w - $(s 40))) \$(($win_y + $(s 40) + i * $(s 5))); sleep 0.1; done; sleep 0.3"
fi
# The window with a margin around it (25 and 20 units).
main_box="$((win_w + 2 * $(s 25)))x$((win_h + 2 * $(s 20)))+$((win_x - $(s 25)))+$((win_y - $(s 20)))"

# Whether a shot was asked for (all of them by default).
want() { [[ -z "${ZT_SHOTS:-}" || " $ZT_SHOTS " == *" $1 "* ]]; }

# shot NAME BACKDROP INI WAIT ACTION
shot() {
  local name=$1 bg=$2 ini=$3 wait=$4 action=${5:-}
  local dir=$work/run-$name
  mkdir -p "$dir"
  cp "$build/zettrim.exe" "$build"/*.txt "$dir/"
  # Files a shot wants beside the program (the kept history).
  if [[ -n "${extra:-}" ]]; then cp $extra "$dir/"; fi
  printf "%b" "$ini" > "$dir/zettrim.ini"
  # The prefix speaks English: the language is named either way.
  sed -i "s/^\[General\]\r\$/[General]\r\nLanguage=$language\r/" "$dir/zettrim.ini"
  display -geometry ${W}x${H}+0+0 -backdrop "$work/$bg.png" 2>/dev/null &
  local backdrop=$!
  sleep 2
  (cd "$dir" && wine zettrim.exe >/dev/null 2>&1 &)
  sleep "$wait"
  if [[ -n "$action" ]]; then eval "$action"; fi
  import -window root "$work/$name.png"
  wineserver -k || true
  kill $backdrop 2>/dev/null || true
  sleep 1
}

if want window-dark; then
  shot window-dark dark "[General]\r\nFirstLaunch=1\r\n" 8 "$wiggle"
  convert "$work/window-dark.png" -crop "$main_box" +repage $enlarge "$here/window-dark$suffix.png"
fi
if want window-light; then
  shot window-light light "[General]\r\nFirstLaunch=1\r\n" 8 "$wiggle"
  convert "$work/window-light.png" -crop "$main_box" +repage $enlarge "$here/window-light$suffix.png"
fi
if want window-more; then
  # Taller by the line of the disks, the network and the graphics, centred
  # the same way.
  more_h=$((win_h + $(s 14)))
  more_box="$((win_w + 2 * $(s 25)))x$((more_h + 2 * $(s 20)))+$((win_x - $(s 25)))+$(((H - more_h) / 2 - $(s 20)))"
  shot window-more light "[General]\r\nFirstLaunch=1\r\nShowMoreResources=1\r\n" 10 "$wiggle"
  convert "$work/window-more.png" -crop "$more_box" +repage $enlarge "$here/window-more$suffix.png"
fi
if want window-per-processor; then
  shot window-per-processor dark "[General]\r\nFirstLaunch=1\r\nDisplayEachCPU=1\r\n[Colors]\r\nBackgroundColor=0\r\nTextColor=16777215\r\nGraphCPUColor1=4259584\r\nGraphCPUColor2=36095\r\nGraphMemoryColor=16762960\r\nBarColor=36095\r\n" 10 "$wiggle"
  convert "$work/window-per-processor.png" -crop "$main_box" +repage $enlarge "$here/window-per-processor$suffix.png"
fi
if want window-no-bar-graph; then
  shot window-no-bar-graph light "[General]\r\nFirstLaunch=1\r\nHideBarGraph=1\r\n" 10
  convert "$work/window-no-bar-graph.png" -crop "$main_box" +repage $enlarge "$here/window-no-bar-graph$suffix.png"
fi
if want menu && [[ $dpi == 96 ]]; then
  # Menu: wake the title controls, click the menu button, open "位置".
  shot menu light "[General]\r\nFirstLaunch=1\r\nLockForm=1\r\n" 7 \
    "$wiggle; xdotool mousemove 544 317; sleep 0.2; xdotool click 1; sleep 0.6; xdotool mousemove 560 458; sleep 0.2; xdotool mousemove 562 459; sleep 1.2; xdotool mousemove 700 485; sleep 0.8"
  convert "$work/menu.png" -crop 400x280+490+287 +repage -scale 200% "$here/menu$suffix.png"
elif want menu; then
  # Scaled, the items' places follow the menu font Wine scales: "位置" and a
  # point on the third item of its submenu, from the menu's top-left corner
  # (the menu button's bottom-right), as measured at 144 and 192 dpi.  The
  # point lies right of the wider English menu too; at 192 dpi the submenu
  # opens upwards, the screen being too short below it.
  case $dpi in
    144) item="43 184" inside="300 235" ;;
    192) item="52 234" inside="300 121" ;;
    *) item="$(s 29) $(s 131)" inside="$(s 200) $(s 157)" ;;
  esac
  mx=$((win_x + $(s 16))) my=$((win_y + $(s 20)))
  read -r ix iy <<< "$item"
  read -r sx sy <<< "$inside"
  shot menu light "[General]\r\nFirstLaunch=1\r\nLockForm=1\r\n" 7 \
    "$wiggle; xdotool mousemove $((win_x + $(s 29))) $((win_y + $(s 10))); sleep 0.2; xdotool click 1; sleep 0.6; xdotool mousemove $((mx + ix)) $((my + iy)); sleep 0.2; xdotool mousemove $((mx + ix + 2)) $((my + iy + 1)); sleep 1.2; xdotool mousemove $((mx + sx)) $((my + sy)); sleep 0.8"
  convert "$work/menu.png" -crop "$(s 400)x$(s 280)+$((win_x - $(s 25)))+$((win_y - $(s 20)))" +repage "$here/menu$suffix.png"
fi
if want tray-live; then
  # Wine's stand-alone tray window (top left) with each kind of icon.
  shot tray-numeric light "[General]\r\nFirstLaunch=1\r\nNumericTrayIcons=1\r\n" 6
  shot tray-gradient light "[General]\r\nFirstLaunch=1\r\n" 6
  convert "$work/tray-numeric.png" -crop "$(s 48)x$(s 48)+0+0" +repage -scale 400% "$work/tn.png"
  convert "$work/tray-gradient.png" -crop "$(s 48)x$(s 48)+0+0" +repage -scale 400% "$work/tg.png"
  convert "$work/tn.png" "$work/tg.png" +append "$here/tray-live$suffix.png"
fi
if want tray-icons && [[ -n "$native" && -x "$native/tray_sheet" ]]; then
  "$native/tray_sheet" "$work/sheet.ppm" "$(s 16)" >/dev/null
  convert "$work/sheet.ppm" "$here/tray-icons$suffix.png"
fi

# The statistics and about windows with their frames.  Wine draws the frame
# itself only for windows it does not hand to a window manager, and there is
# none here.  The keys go to the main window, which needs the X focus.
marlett=${ZT_MARLETT:-/usr/share/wine/fonts/marlett.ttf}
[[ -f $marlett ]] && cp "$marlett" "$prefix/drive_c/windows/Fonts/"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
focus_main="xdotool search --name '^Zettrim\$' windowfocus; sleep 0.5"
# window_crop TITLE NAME: the window's own rectangle out of the shot NAME.
window_crop() {
  local geometry
  geometry=$(xdotool search --name "^$1\$" getwindowgeometry --shell | tr '\n' ' ')
  eval "$geometry"
  echo "${WIDTH}x${HEIGHT}+${X}+${Y}" > "$work/$2.box"
}
if want statistics; then
  # Some seconds of samples at the default rate first.
  shot statistics light "[General]\r\nFirstLaunch=1\r\n" 6 \
    "$focus_main; xdotool key F5; sleep 14; window_crop 统计 statistics"
  convert "$work/statistics.png" -crop "$(cat "$work/statistics.box")" +repage $enlarge "$here/statistics$suffix.png"
fi
if want history; then
  # A day of kept records (docs/make-history-file.py), its view chosen with
  # Ctrl+Tab, the pointer on the graph for a readout.
  title=历史
  [[ $language == en-US ]] && title=History
  "$here/make-history-file.py" "$work/zettrim.history.csv"
  extra="$work/zettrim.history.csv"
  shot history light "[General]\r\nFirstLaunch=1\r\nKeepHistory=1\r\n" 6 \
    "$focus_main; xdotool key F7; sleep 3; window_crop $title history; xdotool search --name \"^$title\\\$\" windowfocus; sleep 0.5; xdotool key ctrl+Tab; sleep 1; xdotool mousemove \$((X + WIDTH * 62 / 100)) \$((Y + HEIGHT * 45 / 100)); sleep 0.3; xdotool mousemove \$((X + WIDTH * 62 / 100 + 1)) \$((Y + HEIGHT * 45 / 100)); sleep 1.5"
  extra=""
  convert "$work/history.png" -crop "$(cat "$work/history.box")" +repage "$here/history$suffix.png"
fi
if want about; then
  shot about light "[General]\r\nFirstLaunch=1\r\n" 6 "$focus_main; xdotool key shift+F1; sleep 2; window_crop 关于 about"
  convert "$work/about.png" -crop "$(cat "$work/about.box")" +repage $enlarge "$here/about$suffix.png"
fi
if want settings; then
  # The four tabs, walked with Ctrl+Tab.
  tabs="$focus_main; xdotool key F4; sleep 2; window_crop 设置 settings"
  for i in 0 1 2 3; do
    tabs+="; import -window root $work/settings-$i.png; xdotool key ctrl+Tab; sleep 1"
  done
  shot settings light "[General]\r\nFirstLaunch=1\r\n" 6 "$tabs"
  names=(general display colors extended)
  for i in 0 1 2 3; do
    convert "$work/settings-$i.png" -crop "$(cat "$work/settings.box")" +repage "$here/settings-${names[$i]}$suffix.png"
  done
fi
wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
# The CPU information window, in a prefix with Wine's own fonts.
if want cpu-info && [[ $dpi == 96 ]]; then
  "$here/make-info-screenshots.sh" "$build" || echo "CPU information window pictures not taken" >&2
fi
# The four secondary windows at 150 % and 200 %, each in a prefix of its
# own at that dpi.
dialogs_at_scale() {
  local dpi=$1 percent=$2
  if want "dialogs-$percent"; then
    "$here/make-dpi-screenshots.sh" "$build" "$dpi" "$percent" ||
      echo "the windows at $percent % were not taken" >&2
  fi
}
dialogs_at_scale 144 150
dialogs_at_scale 192 200
echo "screenshots written to $here"
