#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (plain,
# then with AddressSanitizer+UBSan, then the thread tests with
# ThreadSanitizer), then the 32-bit and 64-bit Windows builds under Wine,
# the native and Windows processor reports side by side, scripts/run.sh
# without a display, and the release package (contents, size, and the same
# bytes from a second build of the same sources in another folder).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

scripts/install-deps.sh

jobs="$(nproc 2>/dev/null || echo 2)"
started=$SECONDS
# "=== NAME (m:ss) ===": each step with the time since the start.
phase() { printf '=== %s (%d:%02d) ===\n' "$1" $(((SECONDS - started) / 60)) $(((SECONDS - started) % 60)); }
failed=()
log="$(mktemp)"
elsewhere=""

# The virtual displays under build/ that answer now are someone else's and
# stay; the others recorded there when the run ends were started by it (the
# prefix jobs below, or tools/wine-run.sh for a suite in a prefix of its own,
# such as the 64-bit build's suites at 144 and 192 dpi) and are stopped.
displays_before="$(mktemp)"
tools/xvfb-sweep.sh note "$root/build" > "$displays_before"

prefix_jobs=()
cleanup() {
  local pid prefix
  for pid in "${prefix_jobs[@]}"; do kill "$pid" 2>/dev/null || true; done
  # Leave no Wine server or virtual display of ours behind.
  for prefix in "$root"/build/win32/wineprefix-run "$root"/build/win32/wineprefix \
                "$root"/build/win32/wineprefix-dpi144 "$root"/build/win32/wineprefix-dpi192 \
                "$root"/build/win64/wineprefix "$root"/build/*/*.display.pid; do
    prefix="${prefix%.display.pid}"
    [[ -d "$prefix" ]] && WINEPREFIX="$prefix" timeout 30 wineserver -k 2>/dev/null || true
  done
  tools/xvfb-sweep.sh stop "$root/build" "$displays_before" || true
  if [[ -n "$elsewhere" ]]; then rm -rf "$elsewhere"; fi
}
trap 'cleanup; rm -f "$log" "$displays_before"' EXIT

run_preset() {
  local preset="$1"; shift
  phase "$preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  if ! ctest --preset "$preset" -j "$jobs" "$@" | tee -a "$log"; then
    failed+=("$preset")
  fi
}

# Making a Wine prefix takes a minute of mostly waiting: the five the
# Windows steps need are made in the background while the native builds
# run (tools/wine-prefix.sh makes whoever needs one first wait for it).  The
# two at 144 and 192 dpi serve the end-to-end suites meant for every display
# scaling, each on its own display as the tests' runs find it.
mkdir -p build/win32 build/win64
for prefix in build/win32/wineprefix build/win64/wineprefix build/win32/wineprefix-run \
              build/win32/wineprefix-dpi144 build/win32/wineprefix-dpi192; do
  (
    # The run prefix borrows the 32-bit tests' display.
    DISPLAY="$(tools/xvfb-ensure.sh "$root/${prefix%-run}.display")"
    export DISPLAY ZT_WINE_UNMANAGED=1
    dpi=()
    if [[ "$prefix" == *-dpi* ]]; then dpi=(--dpi "${prefix##*-dpi}"); fi
    exec tools/wine-prefix.sh "${dpi[@]}" "$root/$prefix"
  ) > "$root/$prefix.make.log" 2>&1 &
  prefix_jobs+=($!)
done

run_preset linux
run_preset asan
# ThreadSanitizer needs a fixed address layout on recent kernels.
if command -v setarch >/dev/null; then
  phase tsan
  cmake --preset tsan >/dev/null
  # Only the code that runs on several threads.
  cmake --build --preset tsan -j "$jobs" --target sampling_tests util_tests
  setarch "$(uname -m)" -R ctest --preset tsan -j "$jobs" -R '^(sampling|util)_tests\.' \
    | tee -a "$log" || failed+=(tsan)
fi
run_preset win32
run_preset win64

# The Windows processor report must equal the native one, byte for byte.
phase "zettrim-cpuinfo: native against Windows under Wine"
if ! tests/cpuid/compare_wine.sh build/linux/zettrim-cpuinfo build/win32/zettrim-cpuinfo.exe \
      "$root/tests/data/cpuid-dumps" "$root/build/win32/wineprefix"; then
  failed+=(cpuinfo-compare)
fi

# The README's first command, headless: a picture of the running monitor.
phase "scripts/run.sh without a display"
if ! env -u DISPLAY scripts/run.sh; then
  failed+=(run.sh)
fi

# The release package: what it holds, the size budget, and the same bytes
# when the same sources are built again in another folder.
phase "release package"
package_ok=1
epoch="${SOURCE_DATE_EPOCH:-$(git -c safe.directory="$root" log -1 --format=%ct 2>/dev/null || true)}"
if [[ -z "$epoch" ]]; then
  echo "No commit time: not a git checkout, and SOURCE_DATE_EPOCH is not set."
  package_ok=0
else
  export SOURCE_DATE_EPOCH="$epoch"
  cmake --build --preset win32 --target release-zip -j "$jobs" || package_ok=0
  elsewhere="$(mktemp -d)"
  mkdir "$elsewhere/src"
  # The working tree as it is, without the build folders.
  git -c safe.directory="$root" ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do if [[ -e "$f" ]]; then printf '%s\0' "$f"; fi; done |
    tar --null -T - -cf - | tar -xf - -C "$elsewhere/src" || package_ok=0
  (cd "$elsewhere/src" && cmake --preset win32 >/dev/null &&
     cmake --build --preset win32 --target release-zip -j "$jobs" >/dev/null) || package_ok=0
  version="$(sed -n 's/^project(Zettrim VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
  if [[ $package_ok == 1 ]]; then
    tools/check-release.sh "build/win32/zettrim-$version-win32.zip" \
      "$elsewhere/src/build/win32/zettrim-$version-win32.zip" || package_ok=0
  fi
fi
[[ $package_ok == 1 ]] || failed+=(release-package)

phase done
status=0
if [[ ${#failed[@]} -ne 0 ]]; then
  echo "FAILED: ${failed[*]}"
  status=1
else
  echo "All test runs passed."
fi
# One closing line over every CTest run above.
awk '/tests passed, [0-9]+ tests failed out of/ { f += $(NF-5); t += $NF }
     END { printf "total: %d passed, %d failed\n", t - f, f }' "$log"
exit "$status"
