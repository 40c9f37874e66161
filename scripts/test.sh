#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (plain,
# then with AddressSanitizer+UBSan, then the thread tests with
# ThreadSanitizer), then the 32-bit and 64-bit Windows builds under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

scripts/install-deps.sh

jobs="$(nproc 2>/dev/null || echo 2)"
failed=()
log="$(mktemp)"

cleanup() {
  # Leave no Wine server or virtual display behind.
  for prefix in "$root"/build/win32/wineprefix "$root"/build/win64/wineprefix; do
    [[ -d "$prefix" ]] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    if [[ -f "$prefix.display" ]]; then
      d="$(cat "$prefix.display")"
      pkill -f "Xvfb $d " 2>/dev/null || true
      rm -f "$prefix.display"
    fi
  done
}
trap 'cleanup; rm -f "$log"' EXIT

run_preset() {
  local preset="$1"; shift
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  if ! ctest --preset "$preset" -j "$jobs" "$@" | tee -a "$log"; then
    failed+=("$preset")
  fi
}

run_preset linux
run_preset asan
# ThreadSanitizer needs a fixed address layout on recent kernels.
if command -v setarch >/dev/null; then
  echo "=== tsan ==="
  cmake --preset tsan >/dev/null
  # Only the code that runs on several threads.
  cmake --build --preset tsan -j "$jobs" --target sampling_tests util_tests
  setarch "$(uname -m)" -R ctest --preset tsan -j "$jobs" -R '^(sampling|util)_tests\.' \
    | tee -a "$log" || failed+=(tsan)
fi
run_preset win32
run_preset win64

# The Windows processor report must equal the native one, byte for byte.
echo "=== zettrim-cpuinfo: native against Windows under Wine ==="
if ! tests/cpuid/compare_wine.sh build/linux/zettrim-cpuinfo build/win32/zettrim-cpuinfo.exe \
      "$root/tests/data/cpuid-dumps" "$root/build/win32/wineprefix"; then
  failed+=(cpuinfo-compare)
fi

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
