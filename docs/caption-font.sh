#!/usr/bin/env bash
# caption-font.sh DPI — in the Wine prefix named by WINEPREFIX, draws the
# window captions in WenQuanYi Micro Hei (bold, 8 points at DPI dots per
# inch), a face with Chinese glyphs: Wine's own caption face has none, and
# a caption such as 设置 would read as boxes.  The screenshot scripts call it
# before they start the program.
set -euo pipefail
dpi=${1:-96}
# A LOGFONTW: height, width, escapement, orientation, weight (32 bits each,
# little-endian), italic, underline, strike-out, character set, precisions,
# quality, pitch (a byte each), then the face in 32 UTF-16 units.
le32() { local v=$(($1 & 0xFFFFFFFF)); printf '%02x%02x%02x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)); }
face=$(printf 'WenQuanYi Micro Hei' | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n')
face=$(printf '%-128s' "$face" | tr ' ' 0)
logfont="$(le32 $((-(8 * dpi + 36) / 72)))$(le32 0)$(le32 0)$(le32 0)$(le32 700)0000000100000000$face"
for value in CaptionFont SmCaptionFont; do
  wine reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v "$value" /t REG_BINARY /d "$logfont" /f >/dev/null 2>&1
done
