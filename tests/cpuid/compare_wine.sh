#!/usr/bin/env bash
# Replays every CPUID dump with the native zettrim-cpuinfo and with
# zettrim-cpuinfo.exe under Wine and requires byte-for-byte equal reports;
# then takes a live report under Wine.
#   compare_wine.sh NATIVE_EXE WINDOWS_EXE [DUMP_DIR] [WINE_PREFIX]
# DUMP_DIR defaults to tests/data/cpuid-dumps (both layouts: *.cpuid-r and
# aida/*.txt); a folder without dumps is an error.  Exit status 0 when every
# report matched.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
native="${1:?native zettrim-cpuinfo}"
windows="${2:?zettrim-cpuinfo.exe}"
dumps="${3:-$root/tests/data/cpuid-dumps}"
prefix="${4:-$(dirname "$windows")/wineprefix}"
mkdir -p "$prefix"
prefix="$(cd "$prefix" && pwd)"
run_wine() { "$root/tools/wine-run.sh" --prefix "$prefix" "$windows" "$@"; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A dump of our own, so that something is compared even on a fresh clone:
# two processors, a brand text with a NUL and a byte above 127.
cat > "$work/two-cpus.txt" <<'DUMP'
------[ CPUID Registers / Logical CPU #0 ]------
CPUID 00000000: 00000001-68747541-444D4163-69746E65
CPUID 00000001: 00000681-00000000-00000000-0383FBFF
CPUID 80000000: 80000006-68747541-444D4163-69746E65
CPUID 80000002: 20444D41-000000E9-4B4E554A-00000000
CPUID 80000006: 00000000-41004100-01008140-00000000
------[ CPUID Registers / Logical CPU #1 ]------
CPUID 00000000: 00000001-68747541-444D4163-69746E65
CPUID 00000001: 00000681-00000000-00000000-0383FBFF
CPUID 80000000: 80000006-68747541-444D4163-69746E65
CPUID 80000006: 00000000-41004100-02008140-00000000
DUMP

files=("$work/two-cpus.txt")
while IFS= read -r f; do files+=("$f"); done < <(ls "$dumps"/*.cpuid-r "$dumps"/aida/*.txt 2>/dev/null)
if [[ ${#files[@]} -lt 2 ]]; then
  echo "compare_wine: no dumps in $dumps" >&2
  exit 1
fi

# One dump: both reports, compared; the verdict goes to $work/N.result.
compare_one() {
  local f="$1" n="$2" n_rc w_rc
  "$native" --load "$f" > "$work/$n.native" 2> /dev/null; n_rc=$?
  run_wine --load "$f" > "$work/$n.wine" 2> /dev/null; w_rc=$?
  if [[ $n_rc -ne 0 || $w_rc -ne 0 ]] || ! cmp -s "$work/$n.native" "$work/$n.wine"; then
    { echo "DIFFER: $f (native exit $n_rc, wine exit $w_rc)"
      diff "$work/$n.native" "$work/$n.wine" | head -5; } > "$work/$n.result"
  else
    : > "$work/$n.result"
  fi
  rm -f "$work/$n.native" "$work/$n.wine"
}

# Two dumps at a time: a Windows start is mostly waiting for Wine.
n=0
for f in "${files[@]}"; do
  compare_one "$f" "$n" &
  n=$((n + 1))
  while (( $(jobs -rp | wc -l) >= 2 )); do wait -n; done
done
wait
same=0; differ=0
for ((i = 0; i < n; i++)); do
  if [[ ! -f "$work/$i.result" ]]; then
    echo "DIFFER: ${files[$i]} (not compared)"
    differ=$((differ + 1))
  elif [[ -s "$work/$i.result" ]]; then
    cat "$work/$i.result"
    differ=$((differ + 1))
  else
    same=$((same + 1))
  fi
done

# A bad dump fails alike on both sides.
printf 'CPUID 00000000: 0000000D-756E6547\n' > "$work/bad.txt"
"$native" --load "$work/bad.txt" > /dev/null 2>&1; n_rc=$?
run_wine --load "$work/bad.txt" > /dev/null 2>&1; w_rc=$?
if [[ $n_rc -eq 0 || $w_rc -eq 0 ]]; then
  echo "DIFFER: a bad dump was accepted (native exit $n_rc, wine exit $w_rc)"
  differ=$((differ + 1))
fi

# The live report of this machine under Wine.
run_wine > "$work/live.txt" 2> "$work/live.err"; l_rc=$?
if [[ $l_rc -ne 0 ]] || ! head -1 "$work/live.txt" | grep -q $'^Library\tVersion\t4.3.01$'; then
  echo "LIVE: the live report under Wine failed (exit $l_rc)"
  cat "$work/live.err" | head -5
  differ=$((differ + 1))
fi

echo "compare_wine: $same report(s) byte-for-byte equal, $differ problem(s)"
[[ $differ -eq 0 ]]
