#!/usr/bin/env bash
# tools/wine-prefix.sh against stand-in wine, wineboot and wineserver
# commands (no real Wine): when a prefix counts as ready, when it is made
# again, and that a failed, stuck or interrupted creation never leaves a
# prefix marked ready.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
script="$here/../../tools/wine-prefix.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The stand-ins log every call; STUB_* variables steer them.
mkdir -p "$work/bin"
cat > "$work/bin/wine" <<'EOF'
#!/usr/bin/env bash
echo "wine $*" >> "$STUB_LOG"
if [[ "$1" == --version ]]; then echo "${STUB_WINE_VERSION:-wine-stub-1}"; exit 0; fi
if [[ "$1" == reg && "$3" == HKCU* && "$7" == REG_DWORD ]]; then
  printf '"%s"=dword:%08x\n' "$5" "$9" >> "$WINEPREFIX/user.reg"
  exit "${STUB_REG_RC:-0}"
fi
if [[ "$1" == reg ]]; then
  printf '"%s"="wqy-microhei.ttc"\n' "$5" >> "$WINEPREFIX/system.reg"
  exit "${STUB_REG_RC:-0}"
fi
exit 0
EOF
cat > "$work/bin/wineboot" <<'EOF'
#!/usr/bin/env bash
echo "wineboot $*" >> "$STUB_LOG"
if [[ -n "${STUB_WINEBOOT_SLEEP:-}" ]]; then exec sleep "$STUB_WINEBOOT_SLEEP"; fi
if [[ -n "${STUB_WINEBOOT_RC:-}" ]]; then echo "stub wineboot: cannot create" >&2; exit "$STUB_WINEBOOT_RC"; fi
for d in system32 syswow64; do
  mkdir -p "$WINEPREFIX/drive_c/windows/$d"
  for f in ntdll kernel32 kernelbase user32 gdi32 advapi32 comctl32 shell32 ole32 msvcrt comdlg32; do
    echo "MZ $d $f" > "$WINEPREFIX/drive_c/windows/$d/$f.dll"
  done
done
for f in system.reg user.reg userdef.reg; do echo "WINE REGISTRY" > "$WINEPREFIX/$f"; done
stat -c %Y "$ZT_WINE_INF" > "$WINEPREFIX/.update-timestamp"
EOF
cat > "$work/bin/wineserver" <<'EOF'
#!/usr/bin/env bash
echo "wineserver $*" >> "$STUB_LOG"
EOF
chmod +x "$work/bin/"*
echo "[Version]" > "$work/wine.inf"
export PATH="$work/bin:$PATH" ZT_WINE_INF="$work/wine.inf" STUB_LOG="$work/calls.log"
prefix="$work/prefix"

# run [VAR=VALUE...] — runs the script on $prefix with a fresh call log;
# sets rc and err (its messages).  $dpi_args go to the script.
dpi_args=()
run() {
  : > "$STUB_LOG"
  err="$(env "$@" "$script" "${dpi_args[@]}" "$prefix" 2>&1 >/dev/null)"
  rc=$?
}
boots() { grep -c '^wineboot -i' "$STUB_LOG"; }
ready() { [[ -s "$prefix/.zt-ready" ]]; }

# A fresh prefix: made once, marked with the Wine build, then only checked.
run
[[ $rc == 0 ]] || fail "fresh: exit $rc ($err)"
ready || fail "fresh: not marked ready"
[[ "$(boots)" == 1 ]] || fail "fresh: wineboot ran $(boots) times"
grep -q 'wine-stub-1 win64' "$prefix/.zt-ready" || fail "fresh: the mark does not name the Wine build"
grep -q 'syswow64/user32.dll' "$prefix/.zt-files" || fail "fresh: the system files are not listed"
[[ "$(grep -c '^wine reg add .*FontLink' "$STUB_LOG")" == 7 ]] || fail "fresh: not seven font links"
grep -q 'X11 Driver' "$STUB_LOG" && fail "fresh: Wine told to draw the frames on a display with a manager"
[[ "$(grep -n '' "$STUB_LOG" | grep 'wineserver -w' | tail -1 | cut -d: -f1)" -gt \
   "$(grep -n '' "$STUB_LOG" | grep 'wine reg add' | tail -1 | cut -d: -f1)" ]] ||
  fail "fresh: the Wine server was not waited for after the last registry change"
run
[[ $rc == 0 && "$(boots)" == 0 ]] || fail "ready: made again (exit $rc, $(boots) wineboot)"

# Each kind of damage: detected, named, and the prefix made again.
damage() {
  local what="$1" expect="$2"
  shift 2
  "$@"
  run
  [[ $rc == 0 ]] || fail "$what: exit $rc ($err)"
  [[ "$(boots)" == 1 ]] || fail "$what: not made again"
  [[ "$err" == *"$expect"* ]] || fail "$what: the message '$err' does not say '$expect'"
  ready || fail "$what: not marked ready afterwards"
}
damage "a system DLL deleted" "syswow64/comdlg32.dll is missing" \
  rm "$prefix/drive_c/windows/syswow64/comdlg32.dll"
damage "a core DLL deleted" "system32/user32.dll is missing" \
  rm "$prefix/drive_c/windows/system32/user32.dll"
damage "a system file cut short" "system32/gdi32.dll is missing or damaged" \
  truncate -s 1 "$prefix/drive_c/windows/system32/gdi32.dll"
damage "an interrupted creation (no mark)" "never completed" rm "$prefix/.zt-ready"
damage "an empty mark" "no complete creation" truncate -s 0 "$prefix/.zt-ready"
damage "no font links" "font links are missing" sed -i '/wqy-microhei/d' "$prefix/system.reg"
damage "a font link missing" "links are missing (Microsoft Sans Serif)" sed -i '/"Microsoft Sans/d' "$prefix/system.reg"
damage "a registry file lost" "user.reg is missing" rm "$prefix/user.reg"
damage "an update pending" "Wine wants to update it" \
  sh -c "echo 12345 > '$prefix/.update-timestamp'"
damage "a changed wine.inf" "another Wine" touch -d '2001-01-01' "$work/wine.inf"
run STUB_WINE_VERSION=wine-stub-2
[[ $rc == 0 && "$(boots)" == 1 && "$err" == *"another Wine"* ]] ||
  fail "another Wine: exit $rc, $(boots) wineboot, '$err'"

# Failures: a clear message, a non-zero exit, no mark, no server left.
rm -rf "$prefix"
run STUB_WINEBOOT_RC=3
[[ $rc != 0 ]] || fail "wineboot failing: exit 0"
[[ "$err" == *"wineboot -i failed (exit 3)"* && "$err" == *"cannot create"* ]] ||
  fail "wineboot failing: the message '$err' does not say why"
ready && fail "wineboot failing: marked ready"
grep -q '^wineserver -k' "$STUB_LOG" || fail "wineboot failing: the Wine server was not stopped"

run STUB_WINEBOOT_RC="" STUB_REG_RC=1
[[ $rc != 0 && "$err" == *"font link"* ]] || fail "registry refusing: exit $rc, '$err'"
ready && fail "registry refusing: marked ready"

start=$SECONDS
run STUB_WINEBOOT_SLEEP=60 ZT_WINE_PREFIX_TIMEOUT=2
[[ $rc != 0 && "$err" == *"took over 2 s"* ]] || fail "wineboot stuck: exit $rc, '$err'"
((SECONDS - start < 30)) || fail "wineboot stuck: the script waited $((SECONDS - start)) s"
ready && fail "wineboot stuck: marked ready"

# Interrupted while making the prefix: ends at once, unmarked.
: > "$STUB_LOG"
STUB_WINEBOOT_SLEEP=60 "$script" "$prefix" 2>"$work/int.err" &
pid=$!
for _ in $(seq 1 100); do
  grep -q '^wineboot' "$STUB_LOG" && break
  sleep 0.05
done
start=$SECONDS
kill -TERM "$pid"
wait "$pid"
rc=$?
[[ $rc == 130 ]] || fail "interrupted: exit $rc, not 130"
((SECONDS - start < 10)) || fail "interrupted: took $((SECONDS - start)) s to end"
ready && fail "interrupted: marked ready"
grep -q 'not ready' "$work/int.err" || fail "interrupted: no message"
# ...and the next run makes it.
run
[[ $rc == 0 && "$(boots)" == 1 ]] && ready || fail "after the interruption: exit $rc, not made"

# A prefix for a display without a window manager is another prefix: made
# again, with Wine drawing the frames; asked for the same way, only checked.
run ZT_WINE_UNMANAGED=1
[[ $rc == 0 && "$(boots)" == 1 ]] && ready || fail "unmanaged: exit $rc, not made again"
grep -q 'X11 Driver.*Managed' "$STUB_LOG" || fail "unmanaged: Wine not told to draw the frames"
run ZT_WINE_UNMANAGED=1
[[ $rc == 0 && "$(boots)" == 0 ]] || fail "unmanaged again: exit $rc, wineboot ran $(boots) times"

# A prefix at another display scaling is another prefix: made again with
# the scaling in its registry; a lost scaling is noticed and mended.
dpi_args=(--dpi 144)
run
[[ $rc == 0 && "$(boots)" == 1 ]] && ready || fail "144 dpi: exit $rc, not made again"
grep -q '^"LogPixels"=dword:00000090$' "$prefix/user.reg" || fail "144 dpi: LogPixels is not 144"
run
[[ $rc == 0 && "$(boots)" == 0 ]] || fail "144 dpi again: exit $rc, wineboot ran $(boots) times"
damage "the scaling lost" "not 144 dpi" sed -i '/LogPixels/d' "$prefix/user.reg"
dpi_args=(--dpi 192)
run
[[ $rc == 0 && "$(boots)" == 1 && "$err" == *"another Wine"* ]] || fail "192 dpi: exit $rc, not made again"
grep -q '^"LogPixels"=dword:000000c0$' "$prefix/user.reg" || fail "192 dpi: LogPixels is not 192"
dpi_args=(--dpi 12x)
run
[[ $rc == 2 && "$err" == *"--dpi wants"* ]] || fail "a bad dpi: exit $rc, '$err'"
dpi_args=()

# A bad call.
err="$("$script" 2>&1)"
rc=$?
[[ $rc == 2 && "$err" == *usage* ]] || fail "no argument: exit $rc, '$err'"

if ((failures)); then
  echo "wine_prefix_test: $failures failure(s)"
  exit 1
fi
echo "wine_prefix_test: all cases passed"
